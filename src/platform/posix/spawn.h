#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace pravelo::platform::posix {

struct SpawnOptions {
    // The child's whole environment; none means the parent's.
    std::optional<std::vector<std::string>> environment{};
    // A session of its own, never waited for: the child belongs to init.
    bool detached = false;
    // A process group of its own, so it and what it starts can be ended together.
    bool ownProcessGroup = false;
    // Standard input and output of the child; -1 means /dev/null.
    int input = -1;
    int output = -1;
    std::optional<mode_t> fileMask{};
};

// Starts a program (no shell, no PATH search) with a clean slate: default
// signal handlers, an empty signal mask, and no descriptor of ours beyond the
// standard streams. Returns when exec has succeeded: the child's pid, or 0 for
// a detached child. Throws Error with the reason when it cannot be executed.
pid_t spawnProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const SpawnOptions& options = {});

}  // namespace pravelo::platform::posix
