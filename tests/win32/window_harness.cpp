#include "window_harness.h"

#include "platform/win32/gui_support.h"
#include "platform/win32/text_convert.h"

namespace pravelo::testing {

using platform::win32::toWide;

namespace {

// A crash fails the test run at once instead of waiting in a debugger.
const UINT kErrorMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);

}  // namespace

WorkingFolder::WorkingFolder(const std::string& folder) {
    wchar_t previous[MAX_PATH];
    previous_.assign(previous, GetCurrentDirectoryW(MAX_PATH, previous));
    CreateDirectoryW(toWide(folder).c_str(), nullptr);
    SetCurrentDirectoryW(toWide(folder).c_str());
}

WorkingFolder::~WorkingFolder() {
    SetCurrentDirectoryW(previous_.c_str());
}

WindowHarness::WindowHarness(platform::OfficeLauncher* realOffice)
    : office(realOffice ? *realOffice : fakeOffice) {
    machine.exeFolder = root / "program";
    machine.cwd = root / "dokumenter";
    CreateDirectoryW(toWide(machine.exeFolder).c_str(), nullptr);
    logic.connect(form, machine);
    form.setMessageBoxes(&messages);
}

void WindowHarness::addDocument(const std::string& name) {
    platform::win32::testing::writeBytes(documentPath(name), "x");
}

void WindowHarness::start() {
    window.Form_Load();
    form.show();
    SetForegroundWindow(form.window());
    pump();
}

void WindowHarness::pump() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        if (form.preTranslate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::string WindowHarness::text(int id) const {
    return platform::win32::windowText(control(id));
}

}  // namespace pravelo::testing
