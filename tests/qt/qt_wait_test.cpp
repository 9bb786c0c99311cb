#define QTEST_QPA_MOUSE_HANDLING
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <functional>
#include <stdexcept>

#include "platform/qt/qt_main_form.h"
#include "platform/qt/qt_message_boxes.h"
#include "qt_test_support.h"
#include "wait_until.h"

using pravelo::platform::MessageIcon;
using pravelo::platform::qt::QtMainForm;
using pravelo::platform::qt::QtMessageBoxes;
using pravelo::qttest::noClickInFlight;
using pravelo::qttest::RecordingEvents;
using pravelo::qttest::RecordingMessageBoxes;
using pravelo::qttest::settle;
using pravelo::testing::Latch;
using pravelo::testing::waitUntil;
using namespace std::chrono_literals;

namespace {

constexpr auto kDeadline = 10s;

// A run command that keeps the window waiting the way a batch does.
class BatchEvents : public RecordingEvents {
  public:
    QtMainForm* form = nullptr;
    std::function<void()> work = [] {};
    void Command1_Click() override {
        raised << "Command1_Click";
        form->waitFor(work);
    }
};

// Work that lasts until an action, run on the window's thread during the wait,
// has been handled there, the access-key clicks it started included.
class ActionDuringWork {
  public:
    ActionDuringWork(QWidget& window, std::function<void()> action)
        : window_(window), action_(std::move(action)) {
        settling_.setInterval(10);
        QObject::connect(&settling_, &QTimer::timeout, [this] {
            if (!noClickInFlight(window_)) return;
            settling_.stop();
            handled_.open();
        });
    }
    // The work, on the worker thread.
    void operator()() {
        QMetaObject::invokeMethod(
            &window_,
            [this] {
                action_();
                settling_.start();
            },
            Qt::QueuedConnection);
        handled_.wait(kDeadline);
    }
    bool handled() { return handled_.isOpen(); }

  private:
    QWidget& window_;
    std::function<void()> action_;
    QTimer settling_;
    Latch handled_;
};

}  // namespace

class WaitTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void inputDuringABatchNeverActsAfterIt();
    void paintsAndTimersGoOnDuringTheWait();
    void closeRequestsAreHeldUntilTheWaitEnds_data();
    void closeRequestsAreHeldUntilTheWaitEnds();
    void messagesOfTheWorkAreShownAndAnsweredOnTheWindowThread();
    void aFailureOfTheWorkReachesTheCaller();

  private:
    template <typename T = QWidget>
    T* control(const char* name) {
        T* widget = form_->findChild<T*>(QLatin1String(name));
        if (widget == nullptr) qFatal("no control %s", name);
        return widget;
    }
    void showAndActivate() {
        form_->show();
        QVERIFY(QTest::qWaitForWindowActive(form_));
    }
    // Runs the action from the event loop while the window waits for work.
    void duringTheWait(const std::function<void()>& action) {
        ActionDuringWork work(*form_, action);
        form_->waitFor([&] { work(); });
        QVERIFY(work.handled());
    }

    QtMainForm* form_ = nullptr;
    BatchEvents events_;
    RecordingMessageBoxes boxes_;
};

void WaitTest::init() {
    events_.raised.clear();
    boxes_.shown.clear();
    form_ = new QtMainForm;
    events_.form = form_;
    form_->setEvents(&events_);
    form_->setMessageBoxes(&boxes_);
}

void WaitTest::cleanup() {
    delete form_;
    form_ = nullptr;
}

void WaitTest::inputDuringABatchNeverActsAfterIt() {
    showAndActivate();
    auto* text1 = control<QLineEdit>("Text1");
    ActionDuringWork inputs(*form_, [&] {
        QTest::keyClick(form_, Qt::Key_K, Qt::AltModifier);
        QTest::keyClick(form_, Qt::Key_K, Qt::AltModifier);
        QTest::keyClick(form_, Qt::Key_K, Qt::ControlModifier);
        QTest::keyClick(form_, Qt::Key_B, Qt::AltModifier);
        QTest::keyClick(form_, Qt::Key_F1);
        QTest::mouseClick(control("Command1"), Qt::LeftButton);
        QTest::mouseClick(control("Command3"), Qt::LeftButton);
        QTest::mouseClick(text1, Qt::LeftButton);
        QTest::keyClicks(text1, "abc");
        // The close button after an edit run has the focus; typing is no click on it.
        control("Command2")->setFocus();
        QTest::keyClick(control("Command2"), Qt::Key_Space);
    });
    events_.work = [&] { inputs(); };
    QTest::keyClick(form_, Qt::Key_K, Qt::AltModifier);
    // The first Alt+K's click arrives a moment later and starts the one batch.
    QTRY_COMPARE(events_.raised, QStringList{"Command1_Click"});
    QVERIFY(inputs.handled());
    // An access-key click queued during the batch would arrive now.
    QVERIFY(settle(*form_));
    QCOMPARE(events_.raised, QStringList{"Command1_Click"});
    QCOMPARE(text1->text(), QString());
    QVERIFY(form_->aboutDialog() == nullptr);
    QVERIFY(!form_->closePending());

    // Afterwards the window answers as before.
    QTest::keyClick(form_, Qt::Key_B, Qt::AltModifier);
    QTRY_COMPARE(events_.raised, (QStringList{"Command1_Click", "Command3_Click"}));
}

void WaitTest::paintsAndTimersGoOnDuringTheWait() {
    showAndActivate();
    std::atomic<int> ticks = 0;
    std::atomic<int> paints = 0;
    QTimer timer;
    timer.setInterval(20);
    connect(&timer, &QTimer::timeout, [&] {
        ++ticks;
        form_->Label4().setCaption("Vent " + std::to_string(ticks.load()));
    });
    auto* label4 = control<QLabel>("Label4");
    struct PaintCounter : QObject {
        std::atomic<int>& count;
        explicit PaintCounter(std::atomic<int>& c) : count(c) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) ++count;
            return false;
        }
    } counter(paints);
    label4->installEventFilter(&counter);
    timer.start();

    bool seen = false;
    form_->waitFor([&] { seen = waitUntil([&] { return ticks >= 5 && paints >= 3; }, kDeadline); });
    QVERIFY2(seen, qPrintable(QStringLiteral("ticks %1, paints %2").arg(ticks).arg(paints)));
}

void WaitTest::closeRequestsAreHeldUntilTheWaitEnds_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("window closed") << "close";
    QTest::newRow("Alt+A") << "alt-a";
    QTest::newRow("Ctrl+Q") << "ctrl-q";
    QTest::newRow("button clicked") << "click";
}

void WaitTest::closeRequestsAreHeldUntilTheWaitEnds() {
    QFETCH(QString, how);
    showAndActivate();
    form_->StatusPanel1().setText("Der editeres!");
    duringTheWait([&] {
        if (how == "close") form_->close();
        if (how == "alt-a") QTest::keyClick(form_, Qt::Key_A, Qt::AltModifier);
        if (how == "ctrl-q") QTest::keyClick(form_, Qt::Key_Q, Qt::ControlModifier);
        if (how == "click") QTest::mouseClick(control("Command2"), Qt::LeftButton);
    });
    QVERIFY(form_->closePending());
    QVERIFY(form_->isVisible());
    QCOMPARE(form_->StatusPanel1().text(), std::string("Lukker, når dette dokument er færdigt …"));
    QVERIFY(settle(*form_));
    // The logic's own close handlers are not run under the batch; it closes when it returns.
    QCOMPARE(events_.raised, QStringList());
    QVERIFY(form_->isVisible());
    form_->unload();
    QVERIFY(!form_->isVisible());
}

void WaitTest::messagesOfTheWorkAreShownAndAnsweredOnTheWindowThread() {
    showAndActivate();
    QtMessageBoxes realBoxes;
    QThread* shownOn = nullptr;
    QString shownText;
    QTimer answer;
    answer.setInterval(20);
    connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shownOn = QThread::currentThread();
            shownText = box->text();
            // The user's Enter reaches the message although the window drops input.
            QTest::keyClick(box, Qt::Key_Return);
        }
    });
    answer.start();
    bool after = false;
    form_->waitFor([&] {
        realBoxes.show("Loggen kan ikke skrives", MessageIcon::None, "Pravelo");
        after = true;
    });
    QVERIFY(after);
    QCOMPARE(shownOn, QApplication::instance()->thread());
    QCOMPARE(shownText, QStringLiteral("Loggen kan ikke skrives"));
}

void WaitTest::aFailureOfTheWorkReachesTheCaller() {
    showAndActivate();
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             form_->waitFor([] { throw std::runtime_error("kontor væk"); }));
    // The window takes input again.
    QTest::keyClick(form_, Qt::Key_B, Qt::AltModifier);
    QTRY_COMPARE(events_.raised, QStringList{"Command3_Click"});
}

QTEST_MAIN(WaitTest)
#include "qt_wait_test.moc"
