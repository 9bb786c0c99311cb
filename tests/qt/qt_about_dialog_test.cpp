#define QTEST_QPA_MOUSE_HANDLING
#include "platform/qt/qt_about_dialog.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "platform/qt/qt_main_form.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/support/window_layout.h"
#include "qt_test_support.h"

namespace layout = pravelo::platform::layout;
namespace about = pravelo::platform::layout::about;
using pravelo::platform::MessageIcon;
using pravelo::platform::qt::QtAboutDialog;
using pravelo::platform::qt::QtMainForm;
using pravelo::platform::qt::QtMessageBoxes;
using pravelo::qttest::RecordingAboutEvents;
using pravelo::qttest::RecordingEvents;

class AboutDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void layout_data();
    void layout();
    void separatorLinesMeet();
    void windowAndTexts();
    void showAboutTwiceShowsOneDialog();
    void okEscapeAndCloseBoxUnload_data();
    void okEscapeAndCloseBoxUnload();
    void reopeningLoadsAgain();
    void systemInfoButton();
    void dialogOutlivesTheMainWindow();
    void messageBoxIsModalPlainAndOkOnly();

  private:
    QtAboutDialog* openAbout();

    QtMainForm* form_ = nullptr;
    RecordingEvents events_;
    QStringList aboutLog_;
    int created_ = 0;
};

void AboutDialogTest::init() {
    aboutLog_.clear();
    created_ = 0;
    form_ = new QtMainForm;
    form_->setEvents(&events_);
    form_->setAboutFactory([this](pravelo::platform::AboutForm& about) {
        ++created_;
        return std::make_unique<RecordingAboutEvents>(about, aboutLog_);
    });
    form_->show();
    QVERIFY(QTest::qWaitForWindowActive(form_));
}

void AboutDialogTest::cleanup() {
    delete form_;
    form_ = nullptr;
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty() ||
                QApplication::topLevelWidgets().size() == 0);
}

QtAboutDialog* AboutDialogTest::openAbout() {
    form_->showAbout();
    QtAboutDialog* dialog = form_->aboutDialog();
    // An owned window counts as active while its owner is; wait for the focus itself.
    if (dialog != nullptr && !QTest::qWaitFor([dialog] {
            return QGuiApplication::focusWindow() == dialog->windowHandle();
        })) {
        return nullptr;
    }
    return dialog;
}

void AboutDialogTest::layout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels");
    // Layout twips divided by 15; a line's ends each rounded to the nearest pixel.
    for (const layout::Control* c :
         {&about::picIcon, &about::cmdOK, &about::cmdSysInfo, &about::lblDescription,
          &about::lblTitle, &about::lblVersion, &about::lblDisclaimer}) {
        const layout::Twips& at = c->place;
        QTest::newRow(c->name) << c->name
                               << QRect(at.left / 15, at.top / 15, at.width / 15, at.height / 15);
    }
    for (const about::Line* line : {&about::Line1_1, &about::Line1_0}) {
        const int left = qRound(line->left / 15.0);
        QTest::newRow(line->name) << line->name
                                  << QRect(left, line->top / 15, qRound(line->right / 15.0) - left,
                                           line->width);
    }
}

void AboutDialogTest::layout() {
    QFETCH(QString, name);
    QFETCH(QRect, pixels);
    QtAboutDialog* dialog = openAbout();
    QVERIFY(dialog);
    auto* widget = dialog->findChild<QWidget*>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), pixels);
}

void AboutDialogTest::separatorLinesMeet() {
    QtAboutDialog* dialog = openAbout();
    QVERIFY(dialog);
    const QImage picture = dialog->grab().toImage();
    const QColor white(Qt::white);
    const QColor grey(128, 128, 128);
    // The white line lies on the grey one from the same top edge; the grey runs
    // on past its right end, in the white line's top row.
    QCOMPARE(picture.pixelColor(100, 216), white);
    QCOMPARE(picture.pixelColor(100, 217), white);
    QCOMPARE(picture.pixelColor(376, 216), white);
    QCOMPARE(picture.pixelColor(377, 216), grey);
    QCOMPARE(picture.pixelColor(378, 216), grey);
    for (const QPoint& clear : {QPoint(100, 215), QPoint(100, 218), QPoint(377, 217)}) {
        QVERIFY(picture.pixelColor(clear) != white && picture.pixelColor(clear) != grey);
    }
}

void AboutDialogTest::windowAndTexts() {
    QtAboutDialog* dialog = openAbout();
    QVERIFY(dialog);
    QCOMPARE(dialog->size(), QSize(about::ClientArea.width / 15, about::ClientArea.height / 15));
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    QVERIFY(
        !(dialog->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(dialog->windowFlags() & Qt::WindowCloseButtonHint);
    QCOMPARE(dialog->findChild<QLabel*>("picIcon")->pixmap().size(), QSize(32, 44));

    // A window of its own, centred on the main window.
    QCOMPARE(dialog->parentWidget(), nullptr);
    QVERIFY((dialog->geometry().center() - form_->geometry().center()).manhattanLength() <= 2);

    // What the logic set at load, and the fixed texts.
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Om Pravelo"));
    QCOMPARE(dialog->findChild<QLabel*>("lblTitle")->text(), QStringLiteral("Pravelo"));
    QCOMPARE(dialog->findChild<QLabel*>("lblVersion")->text(), QStringLiteral("Version 1.3.7"));
    const QString description = dialog->findChild<QLabel*>("lblDescription")->text();
    QCOMPARE(description.size(), 323);
    QVERIFY(description.startsWith("Dette værktøj er bygget til at formaterer flere WORD"));
    QVERIFY(description.contains("NORMAL.DOT Jeg tager"));
    QVERIFY(description.endsWith("kan du skrive til mig."));
    const QString disclaimer = dialog->findChild<QLabel*>("lblDisclaimer")->text();
    QCOMPARE(disclaimer, QStringLiteral("Copyright © 2026 Pravelo — kontakt@pravelo.example"));

    auto* ok = dialog->findChild<QPushButton*>("cmdOK");
    auto* sysInfo = dialog->findChild<QPushButton*>("cmdSysInfo");
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QCOMPARE(sysInfo->text(), QStringLiteral("&System Info..."));
    QVERIFY(ok->isDefault());
    QCOMPARE(QApplication::focusWidget(), ok);
    auto* picture = dialog->findChild<QLabel*>("picIcon");
    QTest::keyClick(ok, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), picture);
    QTest::keyClick(picture, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), sysInfo);
    QTest::keyClick(sysInfo, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), ok);
}

void AboutDialogTest::showAboutTwiceShowsOneDialog() {
    QtAboutDialog* first = openAbout();
    QVERIFY(first);
    QtAboutDialog* second = openAbout();
    QCOMPARE(second, first);
    QCOMPARE(created_, 1);
    QCOMPARE(aboutLog_, QStringList{"Form_Load"});
    int dialogs = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        dialogs += qobject_cast<QtAboutDialog*>(window) != nullptr && window->isVisible();
    }
    QCOMPARE(dialogs, 1);
    // The main window stays usable meanwhile.
    QVERIFY(!first->isModal());
    QVERIFY(form_->isEnabled());
}

void AboutDialogTest::okEscapeAndCloseBoxUnload_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("OK") << "OK";
    QTest::newRow("Enter") << "Enter";
    QTest::newRow("Esc") << "Esc";
    QTest::newRow("close box") << "close";
}

void AboutDialogTest::okEscapeAndCloseBoxUnload() {
    QFETCH(QString, how);
    QPointer<QtAboutDialog> dialog = openAbout();
    QVERIFY(dialog);
    if (how == "OK") {
        QTest::mouseClick(dialog->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    } else if (how == "Enter") {
        QTest::keyClick(dialog, Qt::Key_Return);
    } else if (how == "Esc") {
        QTest::keyClick(dialog, Qt::Key_Escape);
    } else {
        dialog->close();
    }
    // Closed at once, destroyed with its logic once the handler has returned.
    QVERIFY(dialog.isNull() || !dialog->isVisible());
    QCOMPARE(form_->aboutDialog(), nullptr);
    QTRY_VERIFY(dialog.isNull());
    QCOMPARE(aboutLog_, (QStringList{"Form_Load", "cmdOK_Click", "destroyed"}));
}

void AboutDialogTest::reopeningLoadsAgain() {
    QPointer<QtAboutDialog> first = openAbout();
    QVERIFY(first);
    QTest::keyClick(first, Qt::Key_Escape);
    // Chosen again before the old dialog is gone: a new one all the same.
    QtAboutDialog* second = openAbout();
    QVERIFY(second);
    QVERIFY(second != first.data());
    QCOMPARE(created_, 2);
    QCOMPARE(aboutLog_.count("Form_Load"), 2);
    QCOMPARE(second->windowTitle(), QStringLiteral("Om Pravelo"));
}

void AboutDialogTest::systemInfoButton() {
    QtAboutDialog* dialog = openAbout();
    QVERIFY(dialog);
    QTest::mouseClick(dialog->findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);
    QTest::keyClick(dialog, Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE(aboutLog_.count("cmdSysInfo_Click"), 2);
    QVERIFY(dialog->isVisible());

    // Enter presses the focused button, and OK from anywhere else.
    auto* sysInfo = dialog->findChild<QPushButton*>("cmdSysInfo");
    sysInfo->setFocus();
    QTest::keyClick(sysInfo, Qt::Key_Return);
    QCOMPARE(aboutLog_.count("cmdSysInfo_Click"), 3);
    QCOMPARE(aboutLog_.count("cmdOK_Click"), 0);
    auto* picture = dialog->findChild<QLabel*>("picIcon");
    picture->setFocus();
    QTest::keyClick(picture, Qt::Key_Return);
    QCOMPARE(aboutLog_.count("cmdSysInfo_Click"), 3);
    QCOMPARE(aboutLog_.count("cmdOK_Click"), 1);
}

void AboutDialogTest::dialogOutlivesTheMainWindow() {
    // The program ends when its last window closes, which Qt decides only
    // inside the application's own event loop.
    QPointer<QtAboutDialog> dialog = openAbout();
    QVERIFY(dialog);
    bool runningWithoutMainWindow = false;
    QTimer::singleShot(0, form_, [this] { form_->unload(); });
    QTimer::singleShot(100, dialog, [&] {
        runningWithoutMainWindow = !form_->isVisible() && dialog->isVisible();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(2); });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(runningWithoutMainWindow);
    QTRY_VERIFY(dialog.isNull());
}

void AboutDialogTest::messageBoxIsModalPlainAndOkOnly() {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::StandardButtons buttons;
    QWidget* parent = nullptr;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        format = box->textFormat();
        buttons = box->standardButtons();
        parent = box->parentWidget();
        modal = box->isModal();
        box->button(QMessageBox::Ok)->click();
    });
    QtMessageBoxes().show("Ingen adgang til <b>C:\\R&D</b>\r\nPrøv igen", MessageIcon::Critical,
                          "Pravelo");
    QCOMPARE(title, QStringLiteral("Pravelo"));
    QCOMPARE(text, QStringLiteral("Ingen adgang til <b>C:\\R&D</b>\nPrøv igen"));
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(format, Qt::PlainText);
    QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(parent, form_);
    QVERIFY(modal);
}

QTEST_MAIN(AboutDialogTest)
#include "qt_about_dialog_test.moc"
