#include "app/win32_app.h"

#include "platform/win32/message_loop.h"

namespace pravelo::app {

Win32App::Win32App()
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
    messages_.setWindow(form_.window());
    form_.setHost(&host_);
    form_.setEvents(&window_);
    form_.setAboutFactory([this](platform::AboutForm& dialog) {
        return std::make_unique<about::frmAbout>(dialog, platform_);
    });
}

int Win32App::run() {
    window_.Form_Load();
    form_.show();
    return platform::win32::runMessageLoop(form_);
}

}  // namespace pravelo::app
