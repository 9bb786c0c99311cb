// pravelo-cli.exe: the command line on Windows, a console program so that cmd,
// PowerShell and scheduled tasks wait for it and get its exit code (they do
// not wait for Pravelo.exe, a window program). The same settings file and log
// as Pravelo.exe beside it.
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "command_line/command_line.h"
#include "platform/win32/console_output.h"
#include "platform/win32/console_stop.h"
#include "platform/win32/text_convert.h"
#include "platform/win32/win32_archive_store.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_machine.h"
#include "platform/win32/win32_process_starter.h"
#include "platform/win32/win32_registry.h"
#include "platform/word/serial_word_starts.h"
#include "platform/word/word_launcher.h"

using namespace pravelo;

int wmain(int argc, wchar_t* argv[]) {
    // First made, last gone: closing the console waits for everything below.
    platform::win32::ConsoleStop stop;
    platform::win32::ConsoleOutput out(platform::win32::ConsoleOutput::Which::Output);
    platform::win32::ConsoleOutput err(platform::win32::ConsoleOutput::Which::Error);
    platform::win32::Win32Machine machine;
    platform::win32::Win32FileSystem files;
    platform::win32::Win32ProcessStarter processes;
    platform::win32::Win32Registry registry;
    platform::win32::Win32ArchiveStore archive;
    const auto starts = std::make_shared<std::mutex>();
    platform::word::SerialWordStarts office(std::make_unique<platform::word::WordLauncher>(),
                                            starts);

    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(platform::win32::fromWide(argv[i]));
    const bool live = out.enableCursorControl();
    const command_line::CommandLineParts parts{
        .version = platform::programVersionRecord(),
        .machine = machine,
        .files = files,
        .office = office,
        .moreOffices =
            [starts] {
                return std::unique_ptr<platform::OfficeLauncher>(
                    std::make_unique<platform::word::SerialWordStarts>(
                        std::make_unique<platform::word::WordLauncher>(), starts));
            },
        .processes = processes,
        .registry = registry,
        .archive = &archive,
        .stop = stop,
        .out = out.stream(),
        .err = err.stream(),
        .terminal = live,
        // Each Word is a whole program: one at a time unless asked.
        .defaultConcurrent = 1,
    };
    return command_line::RunCommandLine(arguments, parts);
}
