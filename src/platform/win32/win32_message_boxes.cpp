#include "platform/win32/win32_message_boxes.h"

#include "platform/win32/text_convert.h"

namespace pravelo::platform::win32 {

namespace {

struct Request {
    std::wstring text, title;
    UINT style;
};

UINT iconStyle(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return MB_ICONINFORMATION;
        case MessageIcon::Critical:
            return MB_ICONERROR;
        case MessageIcon::None:
            break;
    }
    return 0;
}

}  // namespace

void Win32MessageBoxes::show(const std::string& text, MessageIcon icon, const std::string& title) {
    Request request{withCrLf(toWide(text)), toWide(title), MB_OK | iconStyle(icon)};
    const DWORD windowThread = window_ != nullptr ? GetWindowThreadProcessId(window_, nullptr) : 0;
    if (IsWindow(window_) && windowThread != GetCurrentThreadId()) {
        SendMessageW(window_, kShowMessage, 0, reinterpret_cast<LPARAM>(&request));
        return;
    }
    handleShow(reinterpret_cast<LPARAM>(&request));
}

LRESULT Win32MessageBoxes::handleShow(LPARAM request) {
    const auto& r = *reinterpret_cast<const Request*>(request);
    HWND owner = GetActiveWindow();
    MessageBoxW(owner, r.text.c_str(), r.title.c_str(), r.style | (owner ? 0 : MB_TASKMODAL));
    return 0;
}

}  // namespace pravelo::platform::win32
