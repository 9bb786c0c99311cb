#include "platform/win32/message_loop.h"

#include <windows.h>

#include "platform/win32/win32_main_form.h"

namespace pravelo::platform::win32 {

int runMessageLoop(Win32MainForm& form) {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (form.preTranslate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace pravelo::platform::win32
