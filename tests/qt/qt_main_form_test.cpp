#define QTEST_QPA_MOUSE_HANDLING
#include "platform/qt/qt_main_form.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolTip>
#include <QTreeWidget>
#include <QtTest>

#include "fake_platform.h"
#include "platform/qt/danish_toolkit_texts.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/support/window_layout.h"
#include "qt_test_support.h"

using pravelo::platform::MessageIcon;
using pravelo::platform::qt::QtMainForm;
namespace layout = pravelo::platform::layout;
using pravelo::qttest::RecordingEvents;
using pravelo::qttest::RecordingMessageBoxes;
using pravelo::qttest::settle;

class MainFormTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void controlsSitAtTheirLayoutPositions_data();
    void controlsSitAtTheirLayoutPositions();
    void clientAreaIsFixedAndMenuBarSitsAbove();
    void textsAndToolTips_data();
    void textsAndToolTips();
    void statusBarPanels();
    void tabOrderStartsAtFolderList();
    void menuEntriesAndShortcuts_data();
    void menuEntriesAndShortcuts();
    void runShortcutWorksFromMacroBox();
    void buttonAccessKeysAndClicks();
    void enterPressesOnlyAFocusedButton();
    void macroBoxRaisesChangeOnlyForUserEdits();
    void errorListCoversInformationLabelWhenShown();
    void dataIsNeverMarkup();
    void failureEscapingAHandlerIsShown();
    void refreshPaintsWithoutHandlingEvents();
    void unloadClosesWithoutRaisingEvents();
    void toolkitTextsAreDanish();
    void undoIsLastInFunctionsAndAsksJaOrNej();

  private:
    template <typename T = QWidget>
    T* control(const char* name) {
        T* widget = form_->findChild<T*>(QLatin1String(name));
        if (widget == nullptr) {
            qFatal("no control %s", name);
        }
        return widget;
    }
    void showAndActivate();

    QtMainForm* form_ = nullptr;
    RecordingEvents events_;
    RecordingMessageBoxes boxes_;
    pravelo::fakes::FakeMachine machine_;
};

void MainFormTest::init() {
    events_ = RecordingEvents();
    boxes_.shown.clear();
    form_ = new QtMainForm;
    form_->setMachine(&machine_);
    form_->setEvents(&events_);
    form_->setMessageBoxes(&boxes_);
}

void MainFormTest::cleanup() {
    delete form_;
    form_ = nullptr;
}

void MainFormTest::showAndActivate() {
    form_->show();
    QVERIFY(QTest::qWaitForWindowActive(form_));
}

void MainFormTest::controlsSitAtTheirLayoutPositions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels");
    // Layout twips divided by 15.
    for (const layout::Control* c : layout::Controls) {
        const layout::Twips& at = c->place;
        QTest::newRow(c->name) << c->name
                               << QRect(at.left / 15, at.top / 15, at.width / 15, at.height / 15);
    }
    QTest::newRow("Line1") << "Line1" << QRect(0, 0, layout::Line1Right / 15, 1);
}

void MainFormTest::controlsSitAtTheirLayoutPositions() {
    QFETCH(QString, name);
    QFETCH(QRect, pixels);
    showAndActivate();
    QWidget* widget = control(name.toLatin1().constData());
    QCOMPARE(widget->parentWidget(), form_->centralWidget());
    QCOMPARE(widget->geometry(), pixels);
}

void MainFormTest::clientAreaIsFixedAndMenuBarSitsAbove() {
    showAndActivate();
    const int menuHeight = form_->menuBar()->height();
    QVERIFY(menuHeight > 0);
    QCOMPARE(form_->size(), QSize(492, menuHeight + 432));
    QCOMPARE(form_->minimumSize(), form_->maximumSize());
    QCOMPARE(form_->centralWidget()->geometry(), QRect(0, menuHeight, 492, 408));
    QCOMPARE(form_->statusBar()->geometry(), QRect(0, menuHeight + 408, 492, 24));
    QCOMPARE(form_->statusBar()->objectName(), QStringLiteral("StatusBar1"));

    const Qt::WindowFlags flags = form_->windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!form_->windowIcon().isNull());
    QCOMPARE(form_->windowIcon().availableSizes().value(0), QSize(32, 32));

    // Centred on the screen.
    const QRect screen = form_->screen()->availableGeometry();
    QVERIFY(qAbs(form_->geometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(form_->geometry().center().y() - screen.center().y()) <= 1);
}

void MainFormTest::textsAndToolTips_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<bool>("bold");
    const auto row = [](const char* name, const char* text, const char* tip, bool bold) {
        QTest::newRow(name) << QString(text) << QString(tip) << bold;
    };
    row("Label1", "Label1", "", true);
    row("Label2", "Makro", "", false);
    row("Label4", "Label4", "", false);
    row("Text1", "", "Indtast Makroen's navn", false);
    row("File1", "", "Vælg filer fra listen", false);
    row("Dir1", "", "Vælg bibliotek fra Listen", false);
    row("Combo1", "*.doc", "Vælg fil type fra listen", false);
    row("Drive1", "", "Vælg drev fra listen", false);
    row("Command1", "&Kør", "Editer fil(er) med makro (Ctrl+K)", true);
    row("Command3", "Å&ben", "Åben valgte Filer", true);
    row("Command2", "&Annuller", "Luk program (Ctrl+Q)", true);
}

void MainFormTest::textsAndToolTips() {
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    QFETCH(bool, bold);
    QWidget* widget = control(QTest::currentDataTag());
    QCOMPARE(widget->toolTip(), toolTip);
    QCOMPARE(widget->font().weight(), bold ? QFont::Bold : QFont::Normal);
    QCOMPARE(widget->font().pixelSize(), 11);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        QCOMPARE(label->text(), text);
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        QCOMPARE(button->text(), text);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->isEditable()) {
        QCOMPARE(combo->currentText(), text);
        QCOMPARE(combo->count(), 0);
    }
}

void MainFormTest::statusBarPanels() {
    showAndActivate();
    auto* panel1 = control<QLabel>("StatusPanel1");
    auto* date = control<QLabel>("StatusPanel2");
    auto* time = control<QLabel>("StatusPanel3");
    // Hovering a panel shows its tip.
    const QList<QPair<QLabel*, QString>> tips{
        {panel1, QString::fromUtf8(layout::TextPanel.toolTip)},
        {date, QString::fromUtf8(layout::DatePanel.toolTip)},
        {time, QString::fromUtf8(layout::TimePanel.toolTip)}};
    for (const auto& [panel, tip] : tips) {
        QCOMPARE(panel->toolTip(), tip);
        const QPoint inside = panel->rect().center();
        QHelpEvent hover(QEvent::ToolTip, inside, panel->mapToGlobal(inside));
        QApplication::sendEvent(panel, &hover);
        QTRY_COMPARE(QToolTip::text(), tip);
        QToolTip::hideText();
    }
    // The machine writes the date and time, as it does for every other stamp.
    QCOMPARE(date->text(), QString::fromStdString(machine_.date));
    QCOMPARE(time->text(), QString::fromStdString(machine_.time));
    machine_.time = "14.07.10";
    QTRY_COMPARE(time->text(), QStringLiteral("14.07.10"));

    // Panel 1 springs, the others keep to the right.
    QVERIFY(panel1->width() > date->width() + time->width());
    QVERIFY(panel1->x() < date->x() && date->x() < time->x());

    form_->StatusPanel1().setText("Velkommen til Pravelo.");
    QCOMPARE(panel1->text(), QStringLiteral("Velkommen til Pravelo."));
    QVERIFY(panel1->isVisible());
    QCOMPARE(form_->statusBar()->currentMessage(), QString());
}

void MainFormTest::tabOrderStartsAtFolderList() {
    showAndActivate();
    QCOMPARE(QApplication::focusWidget(), control("Dir1"));
    const QStringList expected{"Drive1", "File1",    "Command1", "Command2",
                               "Text1",  "Command3", "Combo1",   "Dir1"};
    for (const QString& next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), next);
    }
}

void MainFormTest::menuEntriesAndShortcuts_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("menuTitle");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("keys");
    QTest::newRow("StartMakro") << "mnuVormixFiler"
                                << "&Filer"
                                << "mnuVormixStartMakro"
                                << "&Kør Makro" << QKeySequence(Qt::CTRL | Qt::Key_K);
    QTest::newRow("OpenMyFileFil") << "mnuVormixFiler"
                                   << "&Filer"
                                   << "mnuVormixOpenMyFileFil"
                                   << "&Åben fil(er)" << QKeySequence(Qt::CTRL | Qt::Key_O);
    QTest::newRow("Afslut") << "mnuVormixFiler"
                            << "&Filer"
                            << "mnuVormixAfslut"
                            << "&Afslut" << QKeySequence(Qt::CTRL | Qt::Key_Q);
    QTest::newRow("ErrLog") << "mnuVormixFunctions"
                            << "&Funktioner"
                            << "mnuVormixErrLog"
                            << "&Vis log" << QKeySequence(Qt::CTRL | Qt::Key_L);
    QTest::newRow("AddButtonToWord") << "mnuVormixFunctions"
                                     << "&Funktioner"
                                     << "mnuAddButtonToWord"
                                     << "&Tilføj til Word" << QKeySequence(Qt::CTRL | Qt::Key_W);
    QTest::newRow("Settings") << "mnuVormixFunctions"
                              << "&Funktioner"
                              << "mnuVormixSettings"
                              << "&Indstillinger" << QKeySequence(Qt::CTRL | Qt::Key_S);
    QTest::newRow("Fortryd") << "mnuVormixFunctions"
                             << "&Funktioner"
                             << "mnuVormixFortryd"
                             << "&Fortryd sidste kørsel" << QKeySequence(Qt::CTRL | Qt::Key_Z);
    QTest::newRow("About") << "mnuVormixHelp"
                           << "&Help"
                           << "mnuVormixAbout"
                           << "&Om Vormix" << QKeySequence(Qt::Key_F1);
}

void MainFormTest::menuEntriesAndShortcuts() {
    QFETCH(QString, menu);
    QFETCH(QString, menuTitle);
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, keys);

    auto* popup = control<QMenu>(menu.toLatin1().constData());
    QCOMPARE(popup->title(), menuTitle);
    QVERIFY(form_->menuBar()->actions().contains(popup->menuAction()));
    auto* action = control<QAction>(name.toLatin1().constData());
    QVERIFY(popup->actions().contains(action));
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), keys);
    QVERIFY(action->isEnabled());

    showAndActivate();
    QTest::keySequence(form_, keys);
    QCOMPARE(events_.raised, QStringList{name + "_Click"});
}

void MainFormTest::runShortcutWorksFromMacroBox() {
    showAndActivate();
    control("Text1")->setFocus();
    QTest::keyClick(control("Text1"), Qt::Key_K, Qt::ControlModifier);
    QCOMPARE(events_.raised, QStringList{"mnuVormixStartMakro_Click"});
}

void MainFormTest::buttonAccessKeysAndClicks() {
    showAndActivate();
    QTest::keyClick(form_, Qt::Key_K, Qt::AltModifier);
    QTRY_COMPARE(events_.raised, QStringList{"Command1_Click"});
    QTest::keyClick(form_, Qt::Key_B, Qt::AltModifier);
    QTRY_COMPARE(events_.raised, (QStringList{"Command1_Click", "Command3_Click"}));
    events_.raised.clear();
    QTest::keyClick(form_, Qt::Key_A, Qt::AltModifier);
    QTRY_COMPARE(events_.raised, QStringList{"Command2_Click"});

    // After a run the close button is recaptioned and answers to its new key.
    form_->Command2().setCaption("&Luk");
    QCOMPARE(form_->Command2().caption(), std::string("&Luk"));
    events_.raised.clear();
    QTest::keyClick(form_, Qt::Key_L, Qt::AltModifier);
    QTRY_COMPARE(events_.raised, QStringList{"Command2_Click"});

    events_.raised.clear();
    QTest::mouseClick(control("Command1"), Qt::LeftButton);
    QTest::mouseClick(control("Command3"), Qt::LeftButton);
    QTest::mouseClick(control("Command2"), Qt::LeftButton);
    QCOMPARE(events_.raised, (QStringList{"Command1_Click", "Command3_Click", "Command2_Click"}));
}

void MainFormTest::enterPressesOnlyAFocusedButton() {
    showAndActivate();
    for (const char* name : {"Dir1", "File1", "Text1", "Combo1"}) {
        QWidget* widget = control(name);
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key_Return);
        QTest::keyClick(widget, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(widget, Qt::Key_Escape);
    }
    QVERIFY(settle(*form_));
    QCOMPARE(events_.raised, QStringList());
    QVERIFY(form_->isVisible());

    for (const char* name : {"Command1", "Command3", "Command2"}) {
        QWidget* button = control(name);
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Escape);
        QTest::keyClick(button, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClick(button, Qt::Key_Return);
        QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
    }
    QCOMPARE(events_.raised, (QStringList{"Command1_Click", "Command1_Click", "Command3_Click",
                                          "Command3_Click", "Command2_Click", "Command2_Click"}));
}

void MainFormTest::macroBoxRaisesChangeOnlyForUserEdits() {
    form_->Text1().setText("Makro1");
    QCOMPARE(form_->Text1().text(), std::string("Makro1"));
    QCOMPARE(events_.raised, QStringList());

    showAndActivate();
    auto* text1 = control<QLineEdit>("Text1");
    text1->setFocus();
    text1->end(false);
    QTest::keyClicks(text1, "ab");
    QTest::keyClick(text1, Qt::Key_Backspace);
    QCOMPARE(events_.raised, QStringList(3, "Text1_Change"));
    QCOMPARE(form_->Text1().text(), std::string("Makro1a"));
}

void MainFormTest::errorListCoversInformationLabelWhenShown() {
    // Hidden by the layout, and known to be so before the window is up.
    QVERIFY(!form_->Text2().isShown());
    form_->Text2().setShown(true);
    QVERIFY(form_->Text2().isShown());
    form_->Text2().setText("a.doc\r\nb.doc\r\n");
    QCOMPARE(form_->Text2().text(), std::string("a.doc\r\nb.doc\r\n"));
    QCOMPARE(control<QPlainTextEdit>("Text2")->toPlainText(), QStringLiteral("a.doc\nb.doc\n"));
    form_->Text2().appendText("c.doc\r\nd.doc\r");
    form_->Text2().appendText("\ne.doc");
    QCOMPARE(form_->Text2().text(), std::string("a.doc\r\nb.doc\r\nc.doc\r\nd.doc\r\ne.doc"));
    QCOMPARE(control<QPlainTextEdit>("Text2")->toPlainText(),
             QStringLiteral("a.doc\nb.doc\nc.doc\nd.doc\ne.doc"));
    QVERIFY(control<QPlainTextEdit>("Text2")->isReadOnly());

    showAndActivate();
    QWidget* top = form_->centralWidget()->childAt(QPoint(200, 290));
    QVERIFY(top != nullptr);
    QVERIFY(top == control("Text2") || control("Text2")->isAncestorOf(top));

    form_->Text2().setShown(false);
    QCOMPARE(form_->centralWidget()->childAt(QPoint(200, 290)), control("Label4"));
}

void MainFormTest::dataIsNeverMarkup() {
    form_->Label1().setCaption("/tmp/<b>R&D</b>");
    auto* label1 = control<QLabel>("Label1");
    QCOMPARE(label1->textFormat(), Qt::PlainText);
    QCOMPARE(label1->text(), QStringLiteral("/tmp/<b>R&D</b>"));
    QCOMPARE(form_->Label1().caption(), std::string("/tmp/<b>R&D</b>"));

    form_->Label4().setCaption("2 dokumenter editeret");
    form_->Label4().setForeColor(pravelo::platform::kBlue);
    form_->Label4().setBold(true);
    auto* label4 = control<QLabel>("Label4");
    QCOMPARE(label4->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(label4->font().weight(), QFont::Bold);
    QCOMPARE(label4->textFormat(), Qt::PlainText);

    form_->StatusPanel1().setText("<i>x</i>");
    QCOMPARE(control<QLabel>("StatusPanel1")->textFormat(), Qt::PlainText);
}

void MainFormTest::failureEscapingAHandlerIsShown() {
    showAndActivate();
    events_.failNextRun = "Uventet fejl";
    QTest::mouseClick(control("Command1"), Qt::LeftButton);
    QCOMPARE(boxes_.shown.size(), std::size_t{1});
    QCOMPARE(boxes_.shown[0].text, std::string("Uventet fejl"));
    QCOMPARE(boxes_.shown[0].icon, MessageIcon::Critical);
    QCOMPARE(boxes_.shown[0].title, std::string("Pravelo"));
    QVERIFY(form_->isVisible());
}

void MainFormTest::refreshPaintsWithoutHandlingEvents() {
    showAndActivate();
    bool delivered = false;
    QTimer::singleShot(0, form_, [&delivered] { delivered = true; });
    form_->Label4().setCaption("Editerer a.doc");
    form_->refresh();
    QVERIFY(!delivered);
    QCOMPARE(control<QLabel>("Label4")->text(), QStringLiteral("Editerer a.doc"));
    QTRY_VERIFY(delivered);
}

void MainFormTest::unloadClosesWithoutRaisingEvents() {
    showAndActivate();
    form_->unload();
    QVERIFY(!form_->isVisible());
    QCOMPARE(events_.raised, QStringList());
    QVERIFY(boxes_.shown.empty());
}

void MainFormTest::toolkitTextsAreDanish() {
    QVERIFY(pravelo::platform::qt::useDanishToolkitTexts());
    std::unique_ptr<QMenu> menu(control<QLineEdit>("Text1")->createStandardContextMenu());
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator()) texts << action->text();
    }
    QVERIFY(!texts.isEmpty());
    for (const char* english : {"&Copy", "&Paste", "Select All", "&Undo"}) {
        QVERIFY2(!texts.contains(QLatin1String(english)), qPrintable(texts.join(", ")));
    }
}

// The question before an undo: Danish buttons, Enter answers "Ja".
void MainFormTest::undoIsLastInFunctionsAndAsksJaOrNej() {
    auto* functions = control<QMenu>("mnuVormixFunctions");
    QCOMPARE(functions->actions().last()->objectName(), QStringLiteral("mnuVormixFortryd"));

    pravelo::platform::qt::QtMessageBoxes boxes;
    for (const bool pressEnter : {true, false}) {
        QStringList buttons;
        QString title;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            title = box->windowTitle();
            for (auto* button : box->buttons()) buttons << button->text();
            QCOMPARE(box->defaultButton()->text(), QStringLiteral("&Ja"));
            if (pressEnter)
                QTest::keyClick(box, Qt::Key_Return);
            else
                box->findChild<QPushButton*>(QStringLiteral("Nej"))->click();
        });
        QCOMPARE(boxes.ask("Fortryd kørslen?", "Fortryd sidste kørsel"), pressEnter);
        QCOMPARE(title, QStringLiteral("Fortryd sidste kørsel"));
        buttons.sort();
        QCOMPARE(buttons, (QStringList{"&Ja", "&Nej"}));
    }
}

QTEST_MAIN(MainFormTest)
#include "qt_main_form_test.moc"
