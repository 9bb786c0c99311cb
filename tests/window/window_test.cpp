#define QTEST_QPA_MOUSE_HANDLING
#include <locale.h>

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "platform/posix/posix_machine.h"
#include "platform/qt/qt_about_dialog.h"
#include "window_harness.h"

using pravelo::platform::MessageIcon;
using pravelo::testing::WindowHarness;

class WindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<WindowHarness> h;

    template <typename T>
    T* child(const char* name) {
        auto* widget = h->form.findChild<T*>(QLatin1String(name));
        if (!widget) qFatal("no control %s", name);
        return widget;
    }
    QListWidget* files() { return child<QListWidget>("File1"); }
    QString status() { return QString::fromStdString(h->form.StatusPanel1().text()); }
    QString label4() { return QString::fromStdString(h->form.Label4().caption()); }
    QString errorList() { return QString::fromStdString(h->form.Text2().text()); }

    void clickFile(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QListWidget* list = files();
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, rect.center());
    }
    std::vector<std::string> opened() const {
        std::vector<std::string> result;
        for (const auto& c : h->fakeOffice.calls)
            if (c.rfind("open:", 0) == 0) result.push_back(c.substr(5));
        return result;
    }
    // A picture of the window for a person to look at, when asked for.
    void shot(const char* name) {
        const QString folder = qEnvironmentVariable("PRAVELO_SCREENSHOT_DIR");
        if (folder.isEmpty()) return;
        QDir().mkpath(folder);
        h->form.grab().save(folder + QStringLiteral("/window-%1.png").arg(QLatin1String(name)));
    }
    void start() {
        h->window.Form_Load();
        h->form.show();
        QVERIFY(QTest::qWaitForWindowActive(&h->form));
    }

  private slots:
    void init() {
        h = std::make_unique<WindowHarness>();
        for (const char* name : {"a.doc", "b æøå.doc", "c, & d.doc", "skabelon.dot", "note.txt"})
            h->addDocument(name);
    }
    void cleanup() { h.reset(); }

    void startUpShowsTheSettingsAndTheFolder() {
        start();
        QCOMPARE(files()->count(), 3);
        QCOMPARE(child<QComboBox>("Combo1")->count(), 2);
        QCOMPARE(child<QComboBox>("Combo1")->currentText(), QStringLiteral("*.doc"));
        QCOMPARE(child<QLineEdit>("Text1")->text(), QStringLiteral("MOLVARIKtilret"));
        QCOMPARE(h->form.Label1().caption(), h->machine.cwd);
        QCOMPARE(status(), QStringLiteral("Velkommen til Pravelo."));
        QCOMPARE(h->form.windowTitle(),
                 QStringLiteral("Pravelo. R1.3.7 by kontakt@pravelo.example"));
        QVERIFY(child<QWidget>("Dir1")->hasFocus());
        QVERIFY(h->messages.shown.empty());
        shot("start");
    }

    void runButtonEditsTheSelectionAndStamps() {
        start();
        clickFile(0);
        clickFile(2, Qt::ControlModifier);
        QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
        QCOMPARE(opened(), (std::vector<std::string>{h->documentPath("a.doc"),
                                                     h->documentPath("c, & d.doc")}));
        QCOMPARE(label4(), QStringLiteral("2 filer er editeret!\r\nKontroler dokumenterne!"));
        QCOMPARE(child<QPushButton>("Command2")->text(), QStringLiteral("&Luk"));
        QVERIFY(child<QPushButton>("Command2")->hasFocus());
        QVERIFY(status().startsWith(QStringLiteral("Udført! ")));
        QVERIFY(child<QPlainTextEdit>("Text2")->isHidden());
        shot("edited");
    }

    void shiftClickSelectsARangeAndOneSucceeds() {
        start();
        clickFile(0);
        clickFile(1, Qt::ShiftModifier);
        clickFile(0, Qt::ControlModifier);  // takes a.doc out again
        QTest::keyClick(&h->form, Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(opened(), std::vector<std::string>{h->documentPath("b æøå.doc")});
        QCOMPARE(label4(), QStringLiteral("1 fil er editeret!\r\nKontroler dokumentet!"));
    }

    void failuresCollectOverTwoRunsAndOnlyTheButtonStamps() {
        start();
        h->fakeOffice.failOn("open:" + h->documentPath("b æøå.doc"), 5, "beskadiget");
        files()->setFocus();
        QTest::keyClick(files(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&h->form, Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(status(), QStringLiteral("Fejl ved editering!"));
        QVERIFY(!child<QPlainTextEdit>("Text2")->isHidden());
        QVERIFY(errorList().endsWith(QStringLiteral("b æøå.doc\r\n2 fil(er) er editeret!\r\n")));
        QCOMPARE(h->form.Command2().caption(), std::string("&Annuller"));

        QTest::keyClick(files(), Qt::Key_A, Qt::ControlModifier);
        QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
        QVERIFY(status().startsWith(QStringLiteral("Udført! ")));
        QCOMPARE(errorList().count(QStringLiteral("2 fil(er) er editeret!")), 2);
        QCOMPARE(errorList().count(QStringLiteral(", Err: ")), 2);
        shot("failures");
        // The visible list shows line breaks, not control characters.
        QVERIFY(!child<QPlainTextEdit>("Text2")->toPlainText().contains(QChar('\r')));
    }

    void nothingSelectedAndEmptyMacroName() {
        start();
        QTest::keyClick(&h->form, Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(status(), QStringLiteral("Vælg fil(er)!"));
        QVERIFY(files()->hasFocus());
        QVERIFY(child<QLabel>("Label4")->font().bold());
        shot("nothing-selected");
        QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
        QVERIFY(status().startsWith(QStringLiteral("Udført! ")));

        QLineEdit* macro = child<QLineEdit>("Text1");
        macro->setFocus();
        macro->selectAll();
        QTest::keyClick(macro, Qt::Key_Backspace);
        QCOMPARE(h->settings.GetSettingValue("MNavn"), std::string());
        h->form.StatusPanel1().setText("uændret");
        clickFile(0);
        QTest::keyClick(&h->form, Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(h->messages.shown.size(), size_t(1));
        QCOMPARE(h->messages.shown[0].text, std::string("Indtast makronavn"));
        QCOMPARE(h->messages.shown[0].title, std::string("Opps somthing is missing"));
        QCOMPARE(h->messages.shown[0].icon, MessageIcon::Information);
        QVERIFY(macro->hasFocus());
        QCOMPARE(status(), QStringLiteral("uændret"));
        QVERIFY(opened().empty());
    }

    void macroBoxFeedsTheNextRun() {
        start();
        QLineEdit* macro = child<QLineEdit>("Text1");
        macro->setFocus();
        macro->selectAll();
        QTest::keyClicks(macro, "Ny.Makro");
        clickFile(0);
        QTest::keyClick(&h->form, Qt::Key_K, Qt::ControlModifier);
        QVERIFY(std::count(h->fakeOffice.calls.begin(), h->fakeOffice.calls.end(),
                           std::string("run:Ny.Makro")) == 1);
        QVERIFY(h->messages.shown.empty());
    }

    void openButtonAndMenuOpenEveryDocument() {
        start();
        files()->setFocus();
        QTest::keyClick(files(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&h->form, Qt::Key_B, Qt::AltModifier);
        QTRY_COMPARE(h->fakeOffice.handedOver, 3);
        QCOMPARE(status(), QStringLiteral("3 Filer åbnet!"));
        QCOMPARE(label4(), QStringLiteral("3 filer er åbnet!"));
        shot("opened");
        QCOMPARE(h->form.Command2().caption(), std::string("&Annuller"));
        clickFile(1);
        QTest::keyClick(&h->form, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(status(), QStringLiteral("1 Fil åbnet!"));
    }

    void patternFollowsListChoicesOnly() {
        start();
        auto* combo = child<QComboBox>("Combo1");
        combo->setFocus();
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo, "*.txt");
        QTest::keyClick(combo, Qt::Key_Return);
        QCOMPARE(files()->count(), 3);
        QTest::keyClick(combo, Qt::Key_Down);  // choose from the closed list
        QTRY_COMPARE(h->form.File1().pattern(), combo->currentText().toStdString());
        QVERIFY(h->form.File1().pattern() == "*.dot" || h->form.File1().pattern() == "*.doc");
    }

    void menuCommands() {
        start();
        QTest::keyClick(&h->form, Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(h->messages.shown.size(), size_t(1));
        QCOMPARE(h->messages.shown[0].text, std::string("Comming up!"));
        QTest::keyClick(&h->form, Qt::Key_L, Qt::ControlModifier);
        QTest::keyClick(&h->form, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(h->processes.editorPaths,
                 (std::vector<std::string>{h->machine.exeFolder + "/Pravelo.log",
                                           h->machine.exeFolder + "/Pravelo.dll"}));
        QTest::keyClick(child<QLineEdit>("Text1"), Qt::Key_Return);
        QTest::keyClick(&h->form, Qt::Key_Escape);
        QVERIFY(h->fakeOffice.calls.empty());
        QVERIFY(h->form.isVisible());
    }

    void aboutDialogIsShownOnce() {
        start();
        QTest::keyClick(&h->form, Qt::Key_F1);
        QTest::keyClick(&h->form, Qt::Key_F1);
        int dialogs = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("frmAbout") && w->isVisible()) ++dialogs;
        QCOMPARE(dialogs, 1);
        QVERIFY(h->form.aboutDialog());
        QCOMPARE(h->form.aboutDialog()->windowTitle(), QStringLiteral("Om Pravelo"));
        // The main window stays usable while it is open.
        QTest::keyClick(&h->form, Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(h->messages.shown.size(), size_t(1));
        h->form.aboutDialog()->close();
        QTRY_VERIFY(!h->form.aboutDialog());
    }

    // Every date and time the user sees or the program writes, under a Danish locale.
    void danishDatesAgreeEverywhere() {
        locale_t danish = newlocale(LC_ALL_MASK, "da_DK.UTF-8", static_cast<locale_t>(0));
        if (danish == static_cast<locale_t>(0))
            QFAIL("da_DK.UTF-8 is not installed; scripts/setup.sh generates it");
        freelocale(danish);
        pravelo::platform::posix::PosixMachine machine(
            [] {
                std::tm time{};
                time.tm_year = 2024 - 1900;
                time.tm_mon = 2;
                time.tm_mday = 5;
                time.tm_hour = 14;
                time.tm_min = 7;
                time.tm_sec = 9;
                return time;
            },
            "da_DK.UTF-8");
        h->machine.clock = &machine;
        h->form.setMachine(&h->machine);
        const QString date = QStringLiteral("05-03-2024");
        const QString time = QStringLiteral("14:07:09");
        QCOMPARE(QString::fromStdString(machine.shortDate()), date);
        QCOMPARE(QString::fromStdString(machine.longTime()), time);

        start();
        QCOMPARE(child<QLabel>("StatusPanel2")->text(), date);
        QCOMPARE(child<QLabel>("StatusPanel3")->text(), time);
        h->fakeOffice.failOn("open:" + h->documentPath("a.doc"), 5, "beskadiget");
        clickFile(0);
        QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
        QCOMPARE(status(), QStringLiteral("Udført! ") + date + ' ' + time);
        QVERIFY(errorList().startsWith(date + ' ' + time + QStringLiteral(", Err: ")));

        auto firstLine = [](const std::string& path) {
            QFile file(QString::fromStdString(path));
            if (!file.open(QIODevice::ReadOnly)) return QString();
            return QString::fromLatin1(file.readLine());
        };
        const QString fileStamp = date + QStringLiteral(", ") + time + QStringLiteral(", ");
        QVERIFY(firstLine(h->logPath()).startsWith(fileStamp));
        QVERIFY(firstLine(h->machine.exeFolder + "/Pravelo.dll").startsWith(fileStamp));
    }

    void closeCommandsUnloadAtOnce() {
        start();
        QTest::keyClick(&h->form, Qt::Key_Q, Qt::ControlModifier);
        QTRY_VERIFY(!h->form.isVisible());
        QVERIFY(h->messages.shown.empty());
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
