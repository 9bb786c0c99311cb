#pragma once

#include <string>

#include "common/commen_functions.h"
#include "platform/platform.h"
#include "settings/settings.h"
#include "word_engine/doo_with_file.h"

namespace pravelo::main_window {

// The working window's behaviour: start-up, browsing and commands. The window
// itself (any toolkit) raises these events and offers its controls.
class frmListMineFiler : public platform::MainFormEvents {
  public:
    frmListMineFiler(const platform::Platform& platform, settings::Settings& settings,
                     common::CommenFunctions& common, word_engine::DooWithFile& worker)
        : platform_(platform), settings_(settings), common_(common), worker_(worker) {}

    void Form_Load() override;
    void Drive1_Change() override;
    void Dir1_Change() override;
    void Combo1_Click() override;
    void Text1_Change() override;
    void Command1_Click() override;
    void Command2_Click() override;
    void Command3_Click() override;
    void mnuVormixStartMakro_Click() override;
    void mnuVormixOpenMyFileFil_Click() override;
    void mnuVormixAfslut_Click() override;
    void mnuVormixErrLog_Click() override;
    void mnuAddButtonToWord_Click() override;
    void mnuVormixSettings_Click() override;
    void mnuVormixAbout_Click() override;
    void mnuVormixFortryd_Click() override;

  private:
    void setFolder(const std::string& path);
    void openSelected();
    void closeIfAsked();
    void report(const std::string& description, platform::MessageIcon icon);

    const platform::Platform& platform_;
    settings::Settings& settings_;
    common::CommenFunctions& common_;
    word_engine::DooWithFile& worker_;
};

}  // namespace pravelo::main_window
