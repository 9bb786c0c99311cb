#include "platform/win32/console_stop.h"

#include <windows.h>

#include <atomic>

namespace pravelo::platform::win32 {

namespace {

std::atomic<bool> requested{false};
HANDLE finished = nullptr;

BOOL WINAPI onControl(DWORD event) {
    requested = true;
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
    // Close, log-off, shut-down: the process ends when this returns.
    if (finished != nullptr) WaitForSingleObject(finished, 4500);
    return TRUE;
}

}  // namespace

ConsoleStop::ConsoleStop() {
    requested = false;
    finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(onControl, TRUE);
}

ConsoleStop::~ConsoleStop() {
    SetEvent(finished);
    SetConsoleCtrlHandler(onControl, FALSE);
}

bool ConsoleStop::stopRequested() const {
    return requested;
}

}  // namespace pravelo::platform::win32
