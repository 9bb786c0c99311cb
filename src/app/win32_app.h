#pragma once

#include "app/program_logic.h"
#include "platform/platform.h"
#include "platform/win32/win32_archive_store.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_machine.h"
#include "platform/win32/win32_main_form.h"
#include "platform/win32/win32_message_boxes.h"
#include "platform/win32/win32_process_starter.h"
#include "platform/win32/win32_registry.h"
#include "platform/word/word_launcher.h"

namespace pravelo::app {

// The real Windows platform wired to the logic.
class Win32App {
  public:
    Win32App();

    // Runs the window's start-up sequence, shows it and runs until the last window goes.
    int run();

    platform::win32::Win32MainForm& form() { return form_; }

  private:
    platform::win32::Win32Machine machine_;
    platform::win32::Win32FileSystem files_;
    platform::win32::Win32ProcessStarter processes_;
    platform::win32::Win32Registry registry_;
    platform::word::WordLauncher office_;
    platform::win32::Win32ArchiveStore archive_;
    platform::win32::Win32MainForm form_;
    platform::win32::Win32MessageBoxes messages_;
    platform::Platform platform_;
    ProgramLogic logic_;
};

}  // namespace pravelo::app
