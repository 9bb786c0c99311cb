#pragma once

#include <QDir>
#include <QTemporaryDir>
#include <fstream>
#include <memory>
#include <string>

#include "app/program_logic.h"
#include "fake_platform.h"
#include "platform/posix/posix_file_system.h"
#include "platform/qt/qt_main_form.h"

namespace pravelo::testing {

// The real window and logic over real files in a temporary folder; the office,
// message boxes, other programs and the registry are fakes.
struct WindowHarness {
    explicit WindowHarness(platform::OfficeLauncher* realOffice = nullptr)
        : office(realOffice ? *realOffice : fakeOffice) {
        machine.exeFolder = (root.path() + "/program").toStdString();
        machine.cwd = (root.path() + "/dokumenter").toStdString();
        QDir().mkpath(QString::fromStdString(machine.exeFolder));
        QDir().mkpath(QString::fromStdString(machine.cwd));
        logic.connect(form, machine);
        form.setMessageBoxes(&messages);
    }

    void addDocument(const std::string& name, const std::string& content = "x") {
        std::ofstream(machine.cwd + "/" + name) << content;
    }
    std::string documentPath(const std::string& name) const { return machine.cwd + "/" + name; }
    std::string logPath() const { return machine.exeFolder + "/Pravelo.log"; }

    QTemporaryDir root;
    fakes::FakeMachine machine;
    platform::posix::PosixFileSystem files;
    fakes::FakeMessageBoxes messages;
    fakes::FakeOffice fakeOffice;
    platform::OfficeLauncher& office;
    fakes::FakeProcessStarter processes;
    fakes::FakeRegistry registry;
    platform::qt::QtMainForm form;
    platform::VersionRecord version = platform::programVersionRecord();
    platform::Platform platform{version, machine, files,     messages,
                                form,    office,  processes, registry};
    app::ProgramLogic logic{platform};
    settings::Settings& settings = logic.settings;
    main_window::frmListMineFiler& window = logic.window;
};

}  // namespace pravelo::testing
