#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/posix/program_lookup.h"
#include "platform/process_starter.h"

namespace pravelo::platform::posix {

// Starts programs detached: a session of their own, standard streams on
// /dev/null, never waited for, and no zombie left behind.
class PosixProcessStarter : public ProcessStarter {
  public:
    struct Options {
        // Tried in order; the first one found is started.
        std::vector<std::string> editors = defaultEditors();
        ProgramLookup lookup = environmentLookup();
        std::function<bool()> hasDisplay = environmentHasDisplay;
    };

    PosixProcessStarter() : PosixProcessStarter(Options{}) {}
    explicit PosixProcessStarter(Options options) : options_(std::move(options)) {}

    void startTextEditor(const std::string& path) override;
    void startProgram(const std::string& path) override;

    // Graphical plain-text editors of the common desktops. A generic opener is
    // no use here: it would pick a program by the file's extension, and the
    // settings file ends in ".dll".
    static std::vector<std::string> defaultEditors();
    static bool environmentHasDisplay();

  private:
    Options options_;
};

// Starts program with the given arguments (no shell), detached; throws Error
// when the program cannot be executed.
void startDetached(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace pravelo::platform::posix
