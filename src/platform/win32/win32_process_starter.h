#pragma once

#include "platform/process_starter.h"

namespace pravelo::platform::win32 {

// Starts programs in a normal window with the focus and lets them go.
class Win32ProcessStarter : public ProcessStarter {
  public:
    // "Notepad.exe " and the path, unquoted, as the command line.
    void startTextEditor(const std::string& path) override;
    // The path alone is the whole command line.
    void startProgram(const std::string& path) override;

    // Starts the command line and returns at once; throws Error when it cannot.
    static void startCommandLine(const std::string& commandLine);
};

}  // namespace pravelo::platform::win32
