#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/archive_store.h"
#include "platform/file_system.h"
#include "platform/machine.h"
#include "platform/office_application.h"
#include "platform/process_starter.h"
#include "platform/registry.h"
#include "platform/stop_requests.h"
#include "platform/version_record.h"

namespace pravelo::command_line {

// Exit codes of the command line.
inline constexpr int kAllEdited = 0;
inline constexpr int kSomeFailed = 1;
inline constexpr int kBadUsage = 2;
inline constexpr int kStopped = 130;
// Exit codes of --fortryd.
inline constexpr int kAllPutBack = 0;
inline constexpr int kNotAllPutBack = 1;

// What the command line runs on; the program wires the real parts.
struct CommandLineParts {
    const platform::VersionRecord& version;
    platform::Machine& machine;
    platform::FileSystem& files;
    // Checks the macro and serves the first worker.
    platform::OfficeLauncher& office;
    // A new, separate launcher for each further worker.
    std::function<std::unique_ptr<platform::OfficeLauncher>()> moreOffices;
    platform::ProcessStarter& processes;
    platform::Registry& registry;
    // Where edit runs keep their way back and --fortryd finds it; none keeps none.
    platform::ArchiveStore* archive = nullptr;
    const platform::StopRequests& stop;
    std::ostream& out;
    std::ostream& err;
    // Standard output is a terminal: progress as one live line.
    bool terminal = false;
    // Documents at once when --samtidige is not given.
    int defaultConcurrent = 1;
};

// `pravelo --makro NAVN [tilvalg] STI...` or `pravelo --fortryd`: the
// arguments after the program's name. Returns the exit code.
int RunCommandLine(const std::vector<std::string>& arguments, const CommandLineParts& parts);

}  // namespace pravelo::command_line
