#include <QApplication>

#include <memory>

#include "about/frm_about.h"
#include "common/commen_functions.h"
#include "main_window/frm_list_mine_filer.h"
#include "platform/libreoffice/libreoffice_launcher.h"
#include "platform/platform.h"
#include "platform/posix/linux_registry.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_host.h"
#include "platform/posix/posix_process_starter.h"
#include "platform/qt/qt_main_form.h"
#include "platform/qt/qt_message_boxes.h"
#include "settings/settings.h"
#include "word_engine/doo_with_file.h"

using namespace pravelo;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);

    platform::posix::PosixHost host;
    platform::posix::PosixFileSystem files;
    platform::posix::PosixProcessStarter processes;
    platform::posix::LinuxRegistry registry;
    platform::libreoffice::LibreOfficeLauncher office;
    platform::qt::QtMessageBoxes messages;
    platform::qt::QtMainForm form;

    const platform::Platform platform{platform::programVersionRecord(),
                                      host,
                                      files,
                                      messages,
                                      form,
                                      office,
                                      processes,
                                      registry};
    common::CommenFunctions common(platform);
    settings::Settings settings(platform, common);
    word_engine::DooWithFile worker(platform, settings, common);
    main_window::frmListMineFiler window(platform, settings, common, worker);

    form.setEvents(&window);
    form.setAboutFactory([&platform](platform::AboutForm& dialog) {
        return std::make_unique<about::frmAbout>(dialog, platform);
    });

    window.Form_Load();
    form.show();
    return app.exec();
}
