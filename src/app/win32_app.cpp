#include "app/win32_app.h"

#include "platform/win32/message_loop.h"

namespace pravelo::app {

Win32App::Win32App() {
    program_.messages.setWindow(program_.form.window());
}

int Win32App::run() {
    program_.logic.window.Form_Load();
    program_.form.show();
    return platform::win32::runMessageLoop(program_.form);
}

}  // namespace pravelo::app
