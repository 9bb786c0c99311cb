#include "platform/qt/qt_main_form.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>

#include "platform/qt/background_wait.h"
#include "platform/qt/drive_list.h"
#include "platform/qt/file_list.h"
#include "platform/qt/folder_list.h"
#include "platform/qt/pattern_combo.h"
#include "platform/qt/qt_about_dialog.h"
#include "platform/qt/qt_artwork.h"
#include "platform/qt/qt_support.h"
#include "platform/support/run_handler.h"
#include "platform/support/window_layout.h"
#include "platform/version_record.h"

namespace pravelo::platform::qt {

namespace {

// A focused button takes Enter as a click, as buttons on the classic platform
// do; being no default button, it leaves Enter elsewhere in the window alone.
class FormButton : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            click();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

// Name, tooltip and place as the layout gives them.
void place(QWidget* widget, const layout::Control& control) {
    widget->setObjectName(QLatin1String(control.name));
    widget->setToolTip(toQt(control.toolTip));
    widget->setGeometry(twipsRect(control.place));
}

QPushButton* makeButton(QWidget* parent, const layout::Control& control) {
    auto* button = new FormButton(toQt(control.caption), parent);
    place(button, control);
    button->setFont(dialogFont(true));
    // No default button: Enter does nothing window-wide.
    button->setAutoDefault(false);
    return button;
}

QLabel* makePanel(QWidget* parent, const char* name, const QString& toolTip) {
    auto* panel = new QLabel(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setTextFormat(Qt::PlainText);
    panel->setToolTip(toolTip);
    // The style draws each status bar item's sunken frame itself.
    panel->setContentsMargins(2, 0, 2, 0);
    return panel;
}

}  // namespace

QtMainForm::QtMainForm(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                              Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmListMineFiler"));
    setWindowIcon(programIcon());
    setFont(dialogFont());
    QPalette background = palette();
    background.setColor(QPalette::Window, QApplication::palette("QMenu").color(QPalette::Window));
    setPalette(background);

    createControls();
    createActions();
    createMenus();
    createStatusBar();
    setTabOrderChain();
    fitToClientArea();
}

QtMainForm::~QtMainForm() {
    // The dialog shows its failures through our message boxes.
    delete about_.data();
}

void QtMainForm::createControls() {
    central_ = new QWidget(this);
    central_->setObjectName(QStringLiteral("central"));
    central_->setFixedSize(kClientWidth, kCentralHeight);
    setCentralWidget(central_);

    // The controls in the layout's order, so later ones lie on top.
    label1Widget_ = makeLabel(central_, layout::Label1.name, toQt(layout::Label1.caption),
                              twipsRect(layout::Label1.place));
    label1Widget_->setFont(dialogFont(true));

    makeLabel(central_, layout::Label2.name, toQt(layout::Label2.caption),
              twipsRect(layout::Label2.place));

    text1Widget_ = new QLineEdit(central_);
    place(text1Widget_, layout::Text1);
    connect(text1Widget_, &QLineEdit::textEdited, this, &QtMainForm::onMacroNameEdited);

    file1_ = new FileList(central_);
    place(file1_, layout::File1);

    dir1_ = new FolderList(central_);
    place(dir1_, layout::Dir1);
    connect(dir1_, &FolderList::folderChosen, this, &QtMainForm::onFolderChosen);
    connect(dir1_, &FolderList::folderRefused, this, &QtMainForm::onFolderRefused);

    combo1_ = new PatternCombo(central_);
    place(combo1_, layout::Combo1);
    connect(combo1_, &PatternCombo::chosen, this, &QtMainForm::onPatternChosen);

    drive1_ = new DriveList(central_);
    place(drive1_, layout::Drive1);
    connect(drive1_, &DriveList::driveChosen, this, &QtMainForm::onDriveChosen);

    text2Widget_ = new QPlainTextEdit(toQt(layout::Text2.caption), central_);
    place(text2Widget_, layout::Text2);
    text2Widget_->setReadOnly(true);
    text2Widget_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text2Widget_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text2Widget_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text2Widget_->hide();

    label4Widget_ = makeLabel(central_, layout::Label4.name, toQt(layout::Label4.caption),
                              twipsRect(layout::Label4.place));
    label4Widget_->setWordWrap(true);
    // A label is drawn beneath windowed controls, so a shown error list covers it.
    text2Widget_->raise();

    command1Widget_ = makeButton(central_, layout::Command1);
    connect(command1Widget_, &QPushButton::clicked, this, &QtMainForm::onRunClicked);
    command3Widget_ = makeButton(central_, layout::Command3);
    connect(command3Widget_, &QPushButton::clicked, this, &QtMainForm::onOpenClicked);
    command2Widget_ = makeButton(central_, layout::Command2);
    connect(command2Widget_, &QPushButton::clicked, this, &QtMainForm::onCloseClicked);

    // Windows' application-workspace colour has no palette role; Dark is what
    // Qt itself paints a workspace with.
    line1_ = new QFrame(central_);
    line1_->setObjectName(QStringLiteral("Line1"));
    line1_->setFrameShape(QFrame::NoFrame);
    line1_->setAutoFillBackground(true);
    line1_->setBackgroundRole(QPalette::Dark);
    line1_->setGeometry(0, 0, twips(layout::Line1Right), 1);

    label1_ = std::make_unique<QtLabel>(label1Widget_);
    text1_ = std::make_unique<QtLineTextBox>(text1Widget_);
    text2_ = std::make_unique<QtListTextBox>(text2Widget_);
    label4_ = std::make_unique<QtLabel>(label4Widget_);
    command1_ = std::make_unique<QtButton>(command1Widget_);
    command2_ = std::make_unique<QtButton>(command2Widget_);
    command3_ = std::make_unique<QtButton>(command3Widget_);
}

QAction* QtMainForm::makeAction(const QString& caption, const char* name, const QKeySequence& key,
                                void (QtMainForm::*slot)()) {
    auto* action = new QAction(caption, this);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(key);
    connect(action, &QAction::triggered, this, slot);
    return action;
}

void QtMainForm::createActions() {
    const auto make = [this](const layout::MenuEntry& entry, void (QtMainForm::*slot)()) {
        const QKeySequence key = entry.ctrlLetter != 0
                                     ? QKeySequence(Qt::CTRL | Qt::Key(entry.ctrlLetter))
                                     : QKeySequence(Qt::Key_F1);
        return makeAction(toQt(entry.caption), entry.name, key, slot);
    };
    startMakroAct_ = make(layout::StartMakro, &QtMainForm::onStartMakroTriggered);
    openFilesAct_ = make(layout::OpenFiles, &QtMainForm::onOpenFilesTriggered);
    exitAct_ = make(layout::Exit, &QtMainForm::onExitTriggered);
    showLogAct_ = make(layout::ShowLog, &QtMainForm::onShowLogTriggered);
    addToWordAct_ = make(layout::AddToWord, &QtMainForm::onAddToWordTriggered);
    settingsAct_ = make(layout::Settings, &QtMainForm::onSettingsTriggered);
    aboutAct_ = make(layout::About, &QtMainForm::onAboutTriggered);
    undoAct_ = make(layout::Undo, &QtMainForm::onUndoTriggered);
}

void QtMainForm::createMenus() {
    menuBar()->setObjectName(QStringLiteral("menuBar"));

    filerMenu_ = menuBar()->addMenu(toQt(layout::FilerMenu));
    filerMenu_->setObjectName(QStringLiteral("mnuVormixFiler"));
    filerMenu_->addAction(startMakroAct_);
    filerMenu_->addAction(openFilesAct_);
    filerMenu_->addAction(exitAct_);

    functionsMenu_ = menuBar()->addMenu(toQt(layout::FunctionsMenu));
    functionsMenu_->setObjectName(QStringLiteral("mnuVormixFunctions"));
    functionsMenu_->addAction(showLogAct_);
    functionsMenu_->addAction(addToWordAct_);
    functionsMenu_->addAction(settingsAct_);
    functionsMenu_->addAction(undoAct_);

    helpMenu_ = menuBar()->addMenu(toQt(layout::HelpMenu));
    helpMenu_->setObjectName(QStringLiteral("mnuVormixHelp"));
    helpMenu_->addAction(aboutAct_);

    // Pop-ups are windows of their own and do not inherit the window's font.
    for (QMenu* menu : {filerMenu_, functionsMenu_, helpMenu_}) {
        menu->setFont(dialogFont());
    }
}

void QtMainForm::createStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    bar->setFixedHeight(kStatusHeight);
    bar->setContentsMargins(0, 0, 2, 0);

    // Messages go into this label, never through showMessage(), which would
    // hide the panel for as long as the message stands.
    panel1_ = makePanel(bar, "StatusPanel1", QString::fromUtf8(layout::TextPanel.toolTip));
    panel1_->setText(QStringLiteral("Pravelo — ") + toQt(contactAddress()));
    panel1_->setMinimumWidth(twips(layout::TextPanel.width));
    bar->addWidget(panel1_, 1);

    datePanel_ = makePanel(bar, "StatusPanel2", QString::fromUtf8(layout::DatePanel.toolTip));
    datePanel_->setFixedWidth(twips(layout::DatePanel.width));
    bar->addPermanentWidget(datePanel_);

    timePanel_ = makePanel(bar, "StatusPanel3", QString::fromUtf8(layout::TimePanel.toolTip));
    timePanel_->setMinimumWidth(twips(layout::TimePanel.width));
    bar->addPermanentWidget(timePanel_);

    statusPanel1_ = std::make_unique<QtStatusPanel>(panel1_);

    clock_ = new QTimer(this);
    clock_->setInterval(1000);
    connect(clock_, &QTimer::timeout, this, &QtMainForm::updateClock);
    clock_->start();
    updateClock();
}

void QtMainForm::setTabOrderChain() {
    const QList<QWidget*> order{dir1_,           drive1_,         file1_,
                                command1Widget_, command2Widget_, text1Widget_,
                                text2Widget_,    command3Widget_, combo1_};
    for (qsizetype i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
    dir1_->setFocus();
}

void QtMainForm::fitToClientArea() {
    // The size hint alone comes out a pixel short under some styles.
    const int menuHeight =
        qMax(menuBar()->heightForWidth(kClientWidth), menuBar()->sizeHint().height());
    setFixedSize(kClientWidth, menuHeight + kCentralHeight + kStatusHeight);
}

FileListControl& QtMainForm::File1() {
    return *file1_;
}

FolderListControl& QtMainForm::Dir1() {
    return *dir1_;
}

ComboControl& QtMainForm::Combo1() {
    return *combo1_;
}

DriveListControl& QtMainForm::Drive1() {
    return *drive1_;
}

void QtMainForm::setEvents(MainFormEvents* events) {
    events_ = events;
}

void QtMainForm::setAboutFactory(AboutFactory factory) {
    aboutFactory_ = std::move(factory);
}

void QtMainForm::setMessageBoxes(MessageBoxes* boxes) {
    boxes_ = boxes != nullptr ? boxes : &ownBoxes_;
}

void QtMainForm::setMachine(const Machine* machine) {
    machine_ = machine;
    updateClock();
}

void QtMainForm::setCaption(const std::string& caption) {
    setWindowTitle(toQt(caption));
}

void QtMainForm::unload() {
    close();
}

void QtMainForm::refresh() {
    repaint();
}

void QtMainForm::waitFor(const std::function<void()>& work) {
    using Input = CloseDuringRun::Input;
    const auto letThrough = [this](const QObject* target, const QEvent& event) {
        const bool typed = event.type() == QEvent::KeyPress || event.type() == QEvent::KeyRelease;
        Input input = Input::Other;
        if (target == command2Widget_)
            input = typed ? Input::CloseButtonTyped : Input::CloseButtonClick;
        if (target == exitAct_) input = Input::ExitCommand;
        return CloseDuringRun::actsDuringRun(input);
    };
    run_.run(work, [&](const std::function<void()>& job) { waitInEventLoop(job, letThrough); });
}

void QtMainForm::showAbout() {
    if (about_ && !about_->isUnloading()) {
        about_->show();
        about_->raise();
        about_->activateWindow();
        return;
    }
    auto* dialog = new QtAboutDialog();
    dialog->setMessageBoxes(boxes_);
    if (aboutFactory_) {
        dialog->setEvents(aboutFactory_(*dialog));
    }
    about_ = dialog;
    dialog->load();
    if (about_.isNull() || dialog->isUnloading()) {
        return;
    }
    dialog->placeOver(this);
    dialog->show();
    dialog->activateWindow();
}

QtAboutDialog* QtMainForm::aboutDialog() const {
    return about_ && !about_->isUnloading() ? about_.data() : nullptr;
}

void QtMainForm::showEvent(QShowEvent* event) {
    if (!placed_) {
        placed_ = true;
        fitToClientArea();
        if (const QScreen* where = screen()) {
            setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                            where->availableGeometry()));
        }
    }
    QMainWindow::showEvent(event);
}

void QtMainForm::closeEvent(QCloseEvent* event) {
    // The document in hand is finished first; the batch then stops and closes us.
    if (run_.hold(*statusPanel1_)) {
        event->ignore();
        return;
    }
    // Closing never asks. An open About dialog must count as a window of its
    // own from now on, or the program would end under it.
    if (about_) {
        about_->releaseOwner();
    }
    clock_->stop();
    event->accept();
}

void QtMainForm::raiseEvent(void (MainFormEvents::*handler)()) {
    if (events_ != nullptr) {
        MainFormEvents* events = events_;
        // A failure the handler lets through is shown instead of unwinding
        // through the toolkit, which would end the program.
        runHandler([events, handler] { (events->*handler)(); }, *boxes_,
                   fromQt(applicationTitle()));
    }
}

void QtMainForm::onDriveChosen() {
    raiseEvent(&MainFormEvents::Drive1_Change);
}

void QtMainForm::onFolderChosen() {
    raiseEvent(&MainFormEvents::Dir1_Change);
}

void QtMainForm::onFolderRefused(const QString& description) {
    boxes_->show(fromQt(description), MessageIcon::None, fromQt(applicationTitle()));
}

void QtMainForm::onPatternChosen() {
    raiseEvent(&MainFormEvents::Combo1_Click);
}

void QtMainForm::onMacroNameEdited() {
    raiseEvent(&MainFormEvents::Text1_Change);
}

void QtMainForm::onRunClicked() {
    raiseEvent(&MainFormEvents::Command1_Click);
}

void QtMainForm::onCloseClicked() {
    if (run_.hold(*statusPanel1_)) return;
    raiseEvent(&MainFormEvents::Command2_Click);
}

void QtMainForm::onOpenClicked() {
    raiseEvent(&MainFormEvents::Command3_Click);
}

void QtMainForm::onStartMakroTriggered() {
    raiseEvent(&MainFormEvents::mnuVormixStartMakro_Click);
}

void QtMainForm::onOpenFilesTriggered() {
    raiseEvent(&MainFormEvents::mnuVormixOpenMyFileFil_Click);
}

void QtMainForm::onExitTriggered() {
    if (run_.hold(*statusPanel1_)) return;
    raiseEvent(&MainFormEvents::mnuVormixAfslut_Click);
}

void QtMainForm::onShowLogTriggered() {
    raiseEvent(&MainFormEvents::mnuVormixErrLog_Click);
}

void QtMainForm::onAddToWordTriggered() {
    raiseEvent(&MainFormEvents::mnuAddButtonToWord_Click);
}

void QtMainForm::onSettingsTriggered() {
    raiseEvent(&MainFormEvents::mnuVormixSettings_Click);
}

void QtMainForm::onAboutTriggered() {
    raiseEvent(&MainFormEvents::mnuVormixAbout_Click);
}

void QtMainForm::onUndoTriggered() {
    raiseEvent(&MainFormEvents::mnuVormixFortryd_Click);
}

void QtMainForm::updateClock() {
    if (machine_ == nullptr) return;
    datePanel_->setText(toQt(machine_->shortDate()));
    timePanel_->setText(toQt(machine_->longTime()));
}

}  // namespace pravelo::platform::qt
