#include "app/command_line_app.h"

#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "command_line/command_line.h"
#include "command_line/shared_launcher.h"
#include "platform/libreoffice/files/archive_store.h"
#include "platform/libreoffice/office_engine.h"
#include "platform/posix/linux_registry.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_machine.h"
#include "platform/posix/posix_process_starter.h"
#include "platform/posix/stop_signals.h"

namespace pravelo::app {

namespace {

// More forks than cores only wait for each other, and where forks cannot run
// side by side each worker holds a whole office host in memory.
int defaultConcurrent(const std::string& engine) {
    if (engine == "uno") return 1;
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(cores, 1, 4);
}

}  // namespace

int runCommandLine(int argc, char* argv[]) {
    // Before any thread starts: the threads inherit the blocked signals.
    platform::posix::StopSignals stop;
    platform::posix::PosixMachine machine;
    platform::posix::PosixFileSystem files;
    platform::posix::PosixProcessStarter processes;
    platform::posix::LinuxRegistry registry;
    platform::libreoffice::PosixArchiveStore archive;
    const std::string engine = platform::libreoffice::OfficeEngine::fromEnvironment();
    platform::libreoffice::OfficeEngine officeEngine;
    const auto starts = std::make_shared<std::mutex>();
    command_line::SharedLauncher office(officeEngine, starts);

    const command_line::CommandLineParts parts{
        .version = platform::programVersionRecord(),
        .machine = machine,
        .files = files,
        .office = office,
        .moreOffices = [&officeEngine, starts]() -> std::unique_ptr<platform::OfficeLauncher> {
            // A host of its own would cost a worker the host's start.
            if (const std::lock_guard hold(*starts); officeEngine.forksSideBySide())
                return std::make_unique<command_line::SharedLauncher>(officeEngine, starts);
            return std::make_unique<platform::libreoffice::OfficeEngine>();
        },
        .processes = processes,
        .registry = registry,
        .archive = &archive,
        .stop = stop,
        .out = std::cout,
        .err = std::cerr,
        .terminal = ::isatty(STDOUT_FILENO) == 1,
        .defaultConcurrent = defaultConcurrent(engine),
    };
    return command_line::RunCommandLine(std::vector<std::string>(argv + 1, argv + argc), parts);
}

}  // namespace pravelo::app
