#pragma once

#include "app/wired_program.h"
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

    platform::win32::Win32MainForm& form() { return program_.form; }

  private:
    WiredProgram<platform::win32::Win32Machine, platform::win32::Win32FileSystem,
                 platform::win32::Win32ProcessStarter, platform::win32::Win32Registry,
                 platform::word::WordLauncher, platform::win32::Win32ArchiveStore,
                 platform::win32::Win32MessageBoxes, platform::win32::Win32MainForm>
        program_;
};

}  // namespace pravelo::app
