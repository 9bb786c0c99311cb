#pragma once

#include <windows.h>

#include <string>

#include "app/program_logic.h"
#include "fake_platform.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_main_form.h"
#include "win32_test_support.h"

namespace pravelo::testing {

// Windows paths join with a backslash.
struct WindowsFakeHost : fakes::FakeMachine {
    char pathSeparator() const override { return '\\'; }
};

// Makes a folder the process's working folder for its lifetime.
class WorkingFolder {
  public:
    explicit WorkingFolder(const std::string& folder);
    ~WorkingFolder();
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

  private:
    std::wstring previous_;
};

// The real window and logic over real files in a temporary folder (which is
// also the process's working folder); the office, message boxes, other
// programs and the registry are fakes unless a test hands its own office.
struct WindowHarness {
    explicit WindowHarness(platform::OfficeLauncher* realOffice = nullptr);

    void addDocument(const std::string& name);
    std::string documentPath(const std::string& name) const { return machine.cwd + "\\" + name; }
    std::string logPath() const { return machine.exeFolder + "\\Pravelo.log"; }
    // Runs the start-up sequence and shows the window in front.
    void start();
    // Handles what is queued, as the program's own loop would.
    void pump();

    HWND control(int id) const { return form.control(id); }
    std::string text(int id) const;

    platform::win32::testing::TempFolder root;
    WorkingFolder working{root / "dokumenter"};  // before the window: its lists start there
    WindowsFakeHost machine;
    platform::win32::Win32FileSystem files;
    fakes::FakeMessageBoxes messages;
    fakes::FakeOffice fakeOffice;
    platform::OfficeLauncher& office;
    fakes::FakeProcessStarter processes;
    fakes::FakeRegistry registry;
    platform::win32::Win32MainForm form;
    platform::VersionRecord version = platform::programVersionRecord();
    platform::Platform platform{version, machine, files,     messages,
                                form,    office,  processes, registry};
    app::ProgramLogic logic{platform};
    settings::Settings& settings = logic.settings;
    main_window::frmListMineFiler& window = logic.window;
};

}  // namespace pravelo::testing
