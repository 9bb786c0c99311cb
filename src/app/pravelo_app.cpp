#include "app/pravelo_app.h"

#include <QApplication>

namespace pravelo::app {

void useClassicStyle() {
    QApplication::setStyle(QStringLiteral("windows"));
}

PraveloApp::PraveloApp()
    : platform_{platform::programVersionRecord(),
                host_,
                files_,
                messages_,
                form_,
                office_,
                processes_,
                registry_},
      common_(platform_),
      settings_(platform_, common_),
      worker_(platform_, settings_),
      window_(platform_, settings_, common_, worker_) {
    form_.setHost(&host_);
    form_.setEvents(&window_);
    form_.setAboutFactory([this](platform::AboutForm& dialog) {
        return std::make_unique<about::frmAbout>(dialog, platform_);
    });
}

void PraveloApp::start() {
    window_.Form_Load();
    form_.show();
}

}  // namespace pravelo::app
