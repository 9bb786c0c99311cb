#pragma once

namespace pravelo::app {

// The program run from a script: `pravelo --makro NAVN [tilvalg] STI...`, with
// no window and no display. Returns the exit code.
int runCommandLine(int argc, char* argv[]);

}  // namespace pravelo::app
