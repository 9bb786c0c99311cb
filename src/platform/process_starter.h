#pragma once

#include <string>

namespace pravelo::platform {

// Starts other programs without waiting for them or keeping a handle.
class ProcessStarter {
  public:
    virtual ~ProcessStarter() = default;

    // The user's graphical text editor on one file. Throws Error when none can be started.
    virtual void startTextEditor(const std::string& path) = 0;

    // A program given by its path alone, in a normal window. Throws Error when it cannot start.
    virtual void startProgram(const std::string& path) = 0;
};

}  // namespace pravelo::platform
