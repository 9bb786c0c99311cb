#pragma once

namespace pravelo::platform::win32 {

class Win32MainForm;

// The program's message loop: runs until the last window of the program has
// gone, and returns the exit code.
int runMessageLoop(Win32MainForm& form);

}  // namespace pravelo::platform::win32
