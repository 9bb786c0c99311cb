#include "platform/win32/win32_message_boxes.h"

#include "platform/win32/text_convert.h"

namespace pravelo::platform::win32 {

namespace {

struct Request {
    std::wstring text, title;
    UINT style;
    int answer = 0;
};

// The box's buttons carry the system's language; ours is Danish.
HHOOK danishButtonsHook = nullptr;

LRESULT CALLBACK renameButtons(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        SetDlgItemTextW(box, IDYES, L"&Ja");
        SetDlgItemTextW(box, IDNO, L"&Nej");
    }
    return CallNextHookEx(danishButtonsHook, code, wParam, lParam);
}

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

bool Win32MessageBoxes::ask(const std::string& text, const std::string& title) {
    Request request{withCrLf(toWide(text)), toWide(title),
                    MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1};
    const DWORD windowThread = window_ != nullptr ? GetWindowThreadProcessId(window_, nullptr) : 0;
    if (IsWindow(window_) && windowThread != GetCurrentThreadId()) {
        SendMessageW(window_, kShowMessage, 0, reinterpret_cast<LPARAM>(&request));
    } else {
        handleShow(reinterpret_cast<LPARAM>(&request));
    }
    return request.answer == IDYES;
}

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
    auto& r = *reinterpret_cast<Request*>(request);
    HWND owner = GetActiveWindow();
    const bool question = (r.style & MB_YESNO) != 0;
    if (question)
        danishButtonsHook = SetWindowsHookExW(WH_CBT, renameButtons, nullptr, GetCurrentThreadId());
    r.answer =
        MessageBoxW(owner, r.text.c_str(), r.title.c_str(), r.style | (owner ? 0 : MB_TASKMODAL));
    if (question && danishButtonsHook != nullptr) {
        UnhookWindowsHookEx(danishButtonsHook);
        danishButtonsHook = nullptr;
    }
    return 0;
}

}  // namespace pravelo::platform::win32
