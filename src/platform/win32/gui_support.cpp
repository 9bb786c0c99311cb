#include "platform/win32/gui_support.h"

#include <exception>
#include <map>
#include <utility>

#include "platform/error.h"
#include "platform/version_record.h"
#include "platform/win32/text_convert.h"

namespace pravelo::platform::win32 {

int systemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

HFONT dialogFont(bool bold) {
    static std::map<std::pair<bool, int>, HFONT> fonts;
    const int dpi = systemDpi();
    auto& font = fonts[{bold, dpi}];
    if (font == nullptr) {
        // 8.25 points: 11 pixels at 96 dpi.
        font = CreateFontW(-MulDiv(825, dpi, 7200), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE,
                           FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
    }
    return font;
}

std::string windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied));
    return fromWide(text);
}

void setWindowText(HWND window, const std::string& utf8) {
    SetWindowTextW(window, withCrLf(toWide(utf8)).c_str());
}

HWND createControl(HWND parent, const wchar_t* windowClass, const std::string& text, DWORD style,
                   int id, int left, int top, int width, int height, DWORD exStyle) {
    const int dpi = systemDpi();
    HWND control = CreateWindowExW(
        exStyle, windowClass, withCrLf(toWide(text)).c_str(), WS_CHILD | style, scaled(left, dpi),
        scaled(top, dpi), scaled(width, dpi), scaled(height, dpi), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont()), FALSE);
    return control;
}

HWND createFrom(HWND parent, const wchar_t* windowClass, const layout::Control& control,
                DWORD style, int id, DWORD exStyle, int height) {
    const layout::Twips& at = control.place;
    return createControl(parent, windowClass, control.caption, style, id, at.left, at.top, at.width,
                         height != 0 ? height : at.height, exStyle);
}

std::string applicationTitle() {
    return programVersionRecord().productName;
}

HICON programIcon() {
    return static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, LR_SHARED));
}

void registerWindowClass(const wchar_t* name, int backgroundColour) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(instance, name, &windowClass)) return;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.hIcon = programIcon();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground =
        reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(backgroundColour + 1));
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}

}  // namespace pravelo::platform::win32
