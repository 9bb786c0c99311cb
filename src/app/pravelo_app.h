#pragma once

#include <memory>

#include "app/wired_program.h"
#include "platform/libreoffice/files/archive_store.h"
#include "platform/libreoffice/office_engine.h"
#include "platform/posix/linux_registry.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_machine.h"
#include "platform/posix/posix_process_starter.h"
#include "platform/qt/qt_main_form.h"
#include "platform/qt/qt_message_boxes.h"

namespace pravelo::app {

// The classic look the window's fixed layout was drawn for; call before any window exists.
void useClassicStyle();

// The real platform wired to the logic; needs a QApplication.
class PraveloApp {
  public:
    PraveloApp();

    // Runs the window's start-up sequence and shows it.
    void start();

    platform::qt::QtMainForm& form() { return program_.form; }
    main_window::frmListMineFiler& window() { return program_.logic.window; }

  private:
    WiredProgram<platform::posix::PosixMachine, platform::posix::PosixFileSystem,
                 platform::posix::PosixProcessStarter, platform::posix::LinuxRegistry,
                 platform::libreoffice::OfficeEngine, platform::libreoffice::PosixArchiveStore,
                 platform::qt::QtMessageBoxes, platform::qt::QtMainForm>
        program_;
};

}  // namespace pravelo::app
