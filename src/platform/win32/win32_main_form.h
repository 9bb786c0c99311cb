#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "platform/machine.h"
#include "platform/main_form.h"
#include "platform/support/close_during_run.h"
#include "platform/win32/browse_controls.h"
#include "platform/win32/win32_controls.h"
#include "platform/win32/win32_message_boxes.h"

namespace pravelo::platform::win32 {

class Win32AboutDialog;

// The working window frmListMineFiler: a fixed window whose controls sit at
// the layout's own places, scaled from 96 dpi to the system's. User actions
// raise the MainFormEvents; values set from code raise nothing.
class Win32MainForm : public MainForm {
  public:
    using AboutFactory = std::function<std::unique_ptr<AboutFormEvents>(AboutForm&)>;

    // Control and command identifiers; none is IDOK or IDCANCEL, so Enter and
    // Escape find no button of the window's own.
    enum Id : int {
        IdDir1 = 101,
        IdDrive1,
        IdFile1,
        IdCommand1,
        IdCommand2,
        IdText1,
        IdText2,
        IdCommand3,
        IdCombo1,
        IdLabel1,
        IdLabel2,
        IdLabel4,
        IdStatusBar1,
        IdStartMakro = 201,
        IdOpenFiles,
        IdExit,
        IdShowLog,
        IdAddToWord,
        IdSettings,
        IdAbout,
        IdUndo,
    };

    Win32MainForm();
    ~Win32MainForm() override;
    Win32MainForm(const Win32MainForm&) = delete;
    Win32MainForm& operator=(const Win32MainForm&) = delete;

    void setEvents(MainFormEvents* events) { events_ = events; }
    void setAboutFactory(AboutFactory factory) { aboutFactory_ = std::move(factory); }
    // Where failures that escape a handler are shown; the window's own by default.
    void setMessageBoxes(MessageBoxes* boxes) { boxes_ = boxes ? boxes : &ownBoxes_; }
    // The date and time panels write what the machine writes everywhere else.
    void setMachine(const Machine* machine);
    // Shows the window centred on the screen.
    void show();

    HWND window() const { return window_; }
    HWND control(int id) const { return GetDlgItem(window_, id); }
    HWND statusBar() const { return statusBar_; }
    HWND toolTips() const { return toolTips_; }
    Win32AboutDialog* aboutDialog() const { return about_; }

    LabelControl& Label1() override { return *label1_; }
    TextBoxControl& Text1() override { return *text1_; }
    FileListControl& File1() override { return *file1_; }
    FolderListControl& Dir1() override { return *dir1_; }
    ComboControl& Combo1() override { return *combo1_; }
    DriveListControl& Drive1() override { return *drive1_; }
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

    // The program's message loop calls this first for every message: the
    // shortcuts, then Tab, access keys and Enter on a focused button. True
    // when the message was handled.
    bool preTranslate(MSG& message);
    // The accelerator table's entries: key, modifiers (FCONTROL...), command.
    static std::vector<ACCEL> accelerators();

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l);
    LRESULT handle(UINT message, WPARAM w, LPARAM l);
    void createControls();
    void createMenu();
    void createStatusBar();
    void addToolTip(int id, const std::string& toolTip);
    void layOutStatusPanels();
    void updateClock();
    void onCommand(int id, int notice, HWND from);
    void raise(void (MainFormEvents::*handler)());
    // Which of the inputs a run knows of a message is.
    CloseDuringRun::Input runInput(const MSG& message) const;
    void aboutGone();

    HWND window_ = nullptr;
    HWND statusBar_ = nullptr;
    HWND toolTips_ = nullptr;
    HACCEL accelerators_ = nullptr;
    HWND lastFocus_ = nullptr;
    int dpi_ = 96;
    bool quiet_ = false;

    std::unique_ptr<Win32Label> label1_, label4_;
    std::unique_ptr<Win32TextBox> text1_, text2_;
    std::unique_ptr<Win32Button> command1_, command2_, command3_;
    std::unique_ptr<Win32StatusPanel> statusPanel1_;
    std::unique_ptr<Win32FileList> file1_;
    std::unique_ptr<Win32FolderList> dir1_;
    std::unique_ptr<Win32DriveList> drive1_;
    std::unique_ptr<Win32PatternCombo> combo1_;

    const Machine* machine_ = nullptr;
    MainFormEvents* events_ = nullptr;
    AboutFactory aboutFactory_;
    Win32MessageBoxes ownBoxes_;
    MessageBoxes* boxes_ = &ownBoxes_;
    Win32AboutDialog* about_ = nullptr;
    CloseDuringRun run_;
    bool unloaded_ = false;
};

}  // namespace pravelo::platform::win32
