#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <string>
#include <vector>

#include "platform/main_form.h"
#include "platform/message_boxes.h"

namespace pravelo::qttest {

// Records the name of every event the window raises.
class RecordingEvents : public platform::MainFormEvents {
  public:
    QStringList raised;
    // Thrown from the next Command1_Click, to see what the window does with it.
    std::string failNextRun;

    void Form_Load() override { raised << "Form_Load"; }
    void Drive1_Change() override { raised << "Drive1_Change"; }
    void Dir1_Change() override { raised << "Dir1_Change"; }
    void Combo1_Click() override { raised << "Combo1_Click"; }
    void Text1_Change() override { raised << "Text1_Change"; }
    void Command1_Click() override;
    void Command2_Click() override { raised << "Command2_Click"; }
    void Command3_Click() override { raised << "Command3_Click"; }
    void mnuVormixStartMakro_Click() override { raised << "mnuVormixStartMakro_Click"; }
    void mnuVormixOpenMyFileFil_Click() override { raised << "mnuVormixOpenMyFileFil_Click"; }
    void mnuVormixAfslut_Click() override { raised << "mnuVormixAfslut_Click"; }
    void mnuVormixErrLog_Click() override { raised << "mnuVormixErrLog_Click"; }
    void mnuAddButtonToWord_Click() override { raised << "mnuAddButtonToWord_Click"; }
    void mnuVormixSettings_Click() override { raised << "mnuVormixSettings_Click"; }
    void mnuVormixAbout_Click() override { raised << "mnuVormixAbout_Click"; }
    void mnuVormixFortryd_Click() override { raised << "mnuVormixFortryd_Click"; }
};

// The About dialog's logic as the program has it: OK unloads the dialog.
class RecordingAboutEvents : public platform::AboutFormEvents {
  public:
    RecordingAboutEvents(platform::AboutForm& form, QStringList& log) : form_(form), log_(log) {}
    ~RecordingAboutEvents() override { log_ << "destroyed"; }

    void Form_Load() override;
    void cmdOK_Click() override;
    void cmdSysInfo_Click() override { log_ << "cmdSysInfo_Click"; }

  private:
    platform::AboutForm& form_;
    QStringList& log_;
};

struct ShownMessage {
    std::string text;
    platform::MessageIcon icon;
    std::string title;
};

// Handles every event already queued, so that what they would do is done.
void handleQueuedEvents();

// Whether no access-key click is on its way: a button so clicked stays down
// until its click arrives.
bool noClickInFlight(const QWidget& window);

// Handles what is queued and waits for the access-key clicks on their way;
// false when they did not arrive within the deadline.
bool settle(const QWidget& window);

class RecordingMessageBoxes : public platform::MessageBoxes {
  public:
    std::vector<ShownMessage> shown;
    void show(const std::string& text, platform::MessageIcon icon,
              const std::string& title) override {
        shown.push_back({text, icon, title});
    }
    bool ask(const std::string& text, const std::string& title) override {
        shown.push_back({text, platform::MessageIcon::None, title});
        return false;
    }
};

}  // namespace pravelo::qttest
