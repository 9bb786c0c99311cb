#include "platform/win32/win32_process_starter.h"

#include <windows.h>

#include "platform/win32/system_error.h"
#include "platform/win32/text_convert.h"

namespace pravelo::platform::win32 {

void Win32ProcessStarter::startTextEditor(const std::string& path) {
    startCommandLine("Notepad.exe " + path);
}

void Win32ProcessStarter::startProgram(const std::string& path) {
    startCommandLine(path);
}

void Win32ProcessStarter::startCommandLine(const std::string& commandLine) {
    const std::string what = "Programmet kan ikke startes";
    if (commandLine.find_first_not_of(' ') == std::string::npos) {
        throw Error(errnum::FileNotFound, what + ": intet programnavn");
    }
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::wstring line = toWide(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        throw systemError(GetLastError(), what + " (" + commandLine + ")");
    }
    // Not waited for and not watched.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace pravelo::platform::win32
