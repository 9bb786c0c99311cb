#pragma once

#include <memory>

#include "app/program_logic.h"
#include "platform/libreoffice/archive_store.h"
#include "platform/libreoffice/office_engine.h"
#include "platform/platform.h"
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

    platform::qt::QtMainForm& form() { return form_; }
    main_window::frmListMineFiler& window() { return logic_.window; }

  private:
    platform::posix::PosixMachine machine_;
    platform::posix::PosixFileSystem files_;
    platform::posix::PosixProcessStarter processes_;
    platform::posix::LinuxRegistry registry_;
    platform::libreoffice::OfficeEngine office_;
    platform::libreoffice::PosixArchiveStore archive_;
    platform::qt::QtMessageBoxes messages_;
    platform::qt::QtMainForm form_;
    platform::Platform platform_;
    ProgramLogic logic_;
};

}  // namespace pravelo::app
