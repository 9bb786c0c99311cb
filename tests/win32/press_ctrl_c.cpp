// Presses Ctrl+C in the console of the process whose id it is given, as a user
// at that console would: every process attached to the console gets the event
// (under Wine: every one of this process's group, which a test's program is
// in). A program of its own, so the test keeps the console it has and what it
// starts later starts as before. Exit code 0 once the event has come round to
// this process too, i.e. has gone out.
#include <windows.h>

#include <cwchar>

namespace {

HANDLE seen = nullptr;

BOOL WINAPI onControl(DWORD event) {
    if (event != CTRL_C_EVENT) return FALSE;
    SetEvent(seen);
    return TRUE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    const DWORD target = std::wcstoul(arguments, nullptr, 10);
    seen = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    FreeConsole();
    if (target == 0 || seen == nullptr || !AttachConsole(target)) return 2;
    SetConsoleCtrlHandler(onControl, TRUE);
    if (!GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) return 3;
    return WaitForSingleObject(seen, 10000) == WAIT_OBJECT_0 ? 0 : 4;
}
