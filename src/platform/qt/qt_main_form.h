#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

#include "platform/machine.h"
#include "platform/main_form.h"
#include "platform/message_boxes.h"
#include "platform/qt/qt_controls.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/support/close_during_run.h"

class QAction;
class QKeySequence;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace pravelo::platform::qt {

class DriveList;
class FileList;
class FolderList;
class PatternCombo;
class QtAboutDialog;

// The working window frmListMineFiler: a fixed classic form whose controls
// sit at the layout's own positions. User actions raise the MainFormEvents;
// values set from code raise nothing.
class QtMainForm : public QMainWindow, public MainForm {
    Q_OBJECT

  public:
    using AboutFactory = std::function<std::unique_ptr<AboutFormEvents>(AboutForm&)>;

    static constexpr int kClientWidth = 492;
    static constexpr int kCentralHeight = 408;
    static constexpr int kStatusHeight = 24;

    explicit QtMainForm(QWidget* parent = nullptr);
    ~QtMainForm() override;

    void setEvents(MainFormEvents* events);
    void setAboutFactory(AboutFactory factory);
    // Where failures that escape a handler are shown; the window's own by default.
    void setMessageBoxes(MessageBoxes* boxes);
    // The date and time panels write what the machine writes everywhere else;
    // without a machine they stay empty.
    void setMachine(const Machine* machine);

    LabelControl& Label1() override { return *label1_; }
    TextBoxControl& Text1() override { return *text1_; }
    FileListControl& File1() override;
    FolderListControl& Dir1() override;
    ComboControl& Combo1() override;
    DriveListControl& Drive1() override;
    TextBoxControl& Text2() override { return *text2_; }
    LabelControl& Label4() override { return *label4_; }
    ButtonControl& Command1() override { return *command1_; }
    ButtonControl& Command2() override { return *command2_; }
    ButtonControl& Command3() override { return *command3_; }
    StatusPanelControl& StatusPanel1() override { return *statusPanel1_; }

    void setCaption(const std::string& caption) override;
    void unload() override;
    void refresh() override;
    void waitFor(const std::function<void()>& work) override;
    bool closePending() const override { return run_.closePending(); }
    void showAbout() override;

    // The open About dialog, if any.
    QtAboutDialog* aboutDialog() const;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private slots:
    void onDriveChosen();
    void onFolderChosen();
    void onFolderRefused(const QString& description);
    void onPatternChosen();
    void onMacroNameEdited();
    void onRunClicked();
    void onCloseClicked();
    void onOpenClicked();
    void onStartMakroTriggered();
    void onOpenFilesTriggered();
    void onExitTriggered();
    void onShowLogTriggered();
    void onAddToWordTriggered();
    void onSettingsTriggered();
    void onAboutTriggered();
    void onUndoTriggered();
    void updateClock();

  private:
    void createControls();
    QAction* makeAction(const QString& caption, const char* name, const QKeySequence& key,
                        void (QtMainForm::*slot)());
    void createActions();
    void createMenus();
    void createStatusBar();
    void setTabOrderChain();
    void fitToClientArea();
    void raiseEvent(void (MainFormEvents::*handler)());

    QWidget* central_ = nullptr;
    QLabel* label1Widget_ = nullptr;
    QLineEdit* text1Widget_ = nullptr;
    FileList* file1_ = nullptr;
    FolderList* dir1_ = nullptr;
    PatternCombo* combo1_ = nullptr;
    DriveList* drive1_ = nullptr;
    QPlainTextEdit* text2Widget_ = nullptr;
    QLabel* label4Widget_ = nullptr;
    QPushButton* command1Widget_ = nullptr;
    QPushButton* command3Widget_ = nullptr;
    QPushButton* command2Widget_ = nullptr;
    QFrame* line1_ = nullptr;
    QLabel* panel1_ = nullptr;
    QLabel* datePanel_ = nullptr;
    QLabel* timePanel_ = nullptr;
    QTimer* clock_ = nullptr;

    QMenu* filerMenu_ = nullptr;
    QMenu* functionsMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QAction* startMakroAct_ = nullptr;
    QAction* openFilesAct_ = nullptr;
    QAction* exitAct_ = nullptr;
    QAction* showLogAct_ = nullptr;
    QAction* addToWordAct_ = nullptr;
    QAction* settingsAct_ = nullptr;
    QAction* aboutAct_ = nullptr;
    QAction* undoAct_ = nullptr;

    std::unique_ptr<QtLabel> label1_;
    std::unique_ptr<QtLineTextBox> text1_;
    std::unique_ptr<QtListTextBox> text2_;
    std::unique_ptr<QtLabel> label4_;
    std::unique_ptr<QtButton> command1_;
    std::unique_ptr<QtButton> command2_;
    std::unique_ptr<QtButton> command3_;
    std::unique_ptr<QtStatusPanel> statusPanel1_;

    const Machine* machine_ = nullptr;
    MainFormEvents* events_ = nullptr;
    AboutFactory aboutFactory_;
    QtMessageBoxes ownBoxes_;
    MessageBoxes* boxes_ = &ownBoxes_;
    QPointer<QtAboutDialog> about_;
    bool placed_ = false;
    CloseDuringRun run_;
};

}  // namespace pravelo::platform::qt
