#pragma once

#include <memory>

#include "about/frm_about.h"
#include "common/commen_functions.h"
#include "main_window/frm_list_mine_filer.h"
#include "platform/platform.h"
#include "settings/settings.h"
#include "word_engine/doo_with_file.h"

namespace pravelo::app {

// The program's logic over one platform, the same for every program.
struct ProgramLogic {
    explicit ProgramLogic(const platform::Platform& platform)
        : platform(platform),
          common(platform),
          settings(platform, common),
          worker(platform, settings),
          window(platform, settings, common, worker) {}

    // Gives the form the window's events, the machine's clock and About dialogs.
    template <typename Form>
    void connect(Form& form, const platform::Machine& machine) {
        form.setMachine(&machine);
        form.setEvents(&window);
        form.setAboutFactory([this](platform::AboutForm& dialog) {
            return std::make_unique<about::frmAbout>(dialog, platform);
        });
    }

    const platform::Platform& platform;
    common::CommenFunctions common;
    settings::Settings settings;
    word_engine::DooWithFile worker;
    main_window::frmListMineFiler window;
};

}  // namespace pravelo::app
