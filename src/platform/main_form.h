#pragma once

#include <functional>
#include <string>

#include "platform/form_controls.h"

namespace pravelo::platform {

// The working window's controls, named as the window names them.
class MainForm {
  public:
    virtual ~MainForm() = default;

    virtual LabelControl& Label1() = 0;   // bold folder path
    virtual TextBoxControl& Text1() = 0;  // macro name
    virtual FileListControl& File1() = 0;
    virtual FolderListControl& Dir1() = 0;
    virtual ComboControl& Combo1() = 0;  // pattern
    virtual DriveListControl& Drive1() = 0;
    virtual TextBoxControl& Text2() = 0;    // error list
    virtual LabelControl& Label4() = 0;     // information area
    virtual ButtonControl& Command1() = 0;  // run
    virtual ButtonControl& Command2() = 0;  // cancel / close
    virtual ButtonControl& Command3() = 0;  // open
    virtual StatusPanelControl& StatusPanel1() = 0;

    virtual void setCaption(const std::string& caption) = 0;
    // Closes and destroys the window at once, without asking.
    virtual void unload() = 0;
    // Paints what changed so far; used during runs that keep the event loop waiting.
    virtual void refresh() = 0;
    // Runs work away from the window's thread and returns when it is done. The
    // window keeps painting and answering the desktop meanwhile, but drops the
    // user's input, except a request to close, which closePending() then reports.
    virtual void waitFor(const std::function<void()>& work) = 0;
    virtual bool closePending() const = 0;
    // Creates the About dialog if it is not open, and shows it without blocking.
    virtual void showAbout() = 0;
};

// What the window reports to the logic; handler names follow the controls.
class MainFormEvents {
  public:
    virtual ~MainFormEvents() = default;
    virtual void Form_Load() = 0;
    virtual void Drive1_Change() = 0;
    virtual void Dir1_Change() = 0;
    virtual void Combo1_Click() = 0;
    virtual void Text1_Change() = 0;
    virtual void Command1_Click() = 0;
    virtual void Command2_Click() = 0;
    virtual void Command3_Click() = 0;
    virtual void mnuVormixStartMakro_Click() = 0;
    virtual void mnuVormixOpenMyFileFil_Click() = 0;
    virtual void mnuVormixAfslut_Click() = 0;
    virtual void mnuVormixErrLog_Click() = 0;
    virtual void mnuAddButtonToWord_Click() = 0;
    virtual void mnuVormixSettings_Click() = 0;
    virtual void mnuVormixAbout_Click() = 0;
    virtual void mnuVormixFortryd_Click() = 0;
};

// The About dialog's controls and events.
class AboutForm {
  public:
    virtual ~AboutForm() = default;
    virtual void setCaption(const std::string& caption) = 0;
    virtual void setTitle(const std::string& text) = 0;    // lblTitle
    virtual void setVersion(const std::string& text) = 0;  // lblVersion
    virtual void unload() = 0;
};

class AboutFormEvents {
  public:
    virtual ~AboutFormEvents() = default;
    virtual void Form_Load() = 0;
    virtual void cmdOK_Click() = 0;
    virtual void cmdSysInfo_Click() = 0;
};

}  // namespace pravelo::platform
