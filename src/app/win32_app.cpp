#include "app/win32_app.h"

#include "platform/win32/message_loop.h"

namespace pravelo::app {

Win32App::Win32App()
    : platform_{platform::programVersionRecord(),
                machine_,
                files_,
                messages_,
                form_,
                office_,
                processes_,
                registry_,
                &archive_},
      logic_(platform_) {
    messages_.setWindow(form_.window());
    logic_.connect(form_, machine_);
}

int Win32App::run() {
    logic_.window.Form_Load();
    form_.show();
    return platform::win32::runMessageLoop(form_);
}

}  // namespace pravelo::app
