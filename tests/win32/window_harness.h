#pragma once

#include <windows.h>

#include <string>

#include "about/frm_about.h"
#include "common/commen_functions.h"
#include "fake_platform.h"
#include "main_window/frm_list_mine_filer.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_main_form.h"
#include "settings/settings.h"
#include "win32_test_support.h"
#include "word_engine/doo_with_file.h"

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
    common::CommenFunctions common{platform};
    settings::Settings settings{platform, common};
    word_engine::DooWithFile worker{platform, settings};
    main_window::frmListMineFiler window{platform, settings, common, worker};
};

}  // namespace pravelo::testing
