#include "platform/win32/win32_about_dialog.h"

#include <commctrl.h>

#include "platform/support/run_handler.h"
#include "platform/version_record.h"
#include "platform/win32/gui_support.h"
#include "platform/win32/text_convert.h"

namespace pravelo::platform::win32 {

namespace {

namespace about = layout::about;

constexpr wchar_t kClassName[] = L"PraveloAbout";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT | WS_EX_WINDOWEDGE;

void drawLine(HDC dc, int dpi, const about::Line& described) {
    RECT line{scaled(described.left, dpi), scaled(described.top, dpi), scaled(described.right, dpi),
              scaled(described.top, dpi) + described.width};
    HBRUSH brush = CreateSolidBrush(RGB(described.grey, described.grey, described.grey));
    FillRect(dc, &line, brush);
    DeleteObject(brush);
}

}  // namespace

Win32AboutDialog::Win32AboutDialog(HWND owner, MessageBoxes* boxes) : owner_(owner), boxes_(boxes) {
    registerWindowClass(kClassName, COLOR_BTNFACE);
    const int dpi = systemDpi();
    RECT frame{0, 0, scaled(about::ClientArea.width, dpi), scaled(about::ClientArea.height, dpi)};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    window_ = CreateWindowExW(kExStyle, kClassName, L"", kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                              frame.right - frame.left, frame.bottom - frame.top, owner, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&procedure));
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(programIcon()));
    createControls();
}

Win32AboutDialog::~Win32AboutDialog() = default;

void Win32AboutDialog::createControls() {
    constexpr DWORD common = WS_VISIBLE | WS_CLIPSIBLINGS;
    // Created in keyboard order: OK, the picture box, System Info, then the labels.
    createFrom(window_, WC_BUTTONW, about::cmdOK, common | WS_TABSTOP | BS_DEFPUSHBUTTON, IdOK);
    HWND picture = createFrom(
        window_, WC_STATICW, about::picIcon,
        common | WS_TABSTOP | SS_ICON | SS_CENTERIMAGE | SS_NOTIFY | SS_REALSIZECONTROL, IdPicture);
    SendMessageW(picture, STM_SETICON, reinterpret_cast<WPARAM>(programIcon()), 0);
    const int dpi = systemDpi();
    SetWindowPos(picture, nullptr, 0, 0, scaled(about::picIcon.place.width, dpi),
                 scaled(about::picIcon.place.height, dpi),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    createFrom(window_, WC_BUTTONW, about::cmdSysInfo, common | WS_TABSTOP | BS_PUSHBUTTON,
               IdSysInfo);
    constexpr DWORD label = common | SS_LEFT | SS_NOPREFIX;
    createFrom(window_, WC_STATICW, about::lblDescription, label, IdDescription);
    setWindowText(createFrom(window_, WC_STATICW, about::lblDisclaimer, label, IdDisclaimer),
                  disclaimerText());
    createFrom(window_, WC_STATICW, about::lblTitle, label, IdTitle);
    createFrom(window_, WC_STATICW, about::lblVersion, label, IdVersion);
}

std::string Win32AboutDialog::disclaimerText() {
    return about::CopyrightNotice + contactAddress();
}

void Win32AboutDialog::load() {
    run(&AboutFormEvents::Form_Load);
}

void Win32AboutDialog::showCentred() {
    if (gone_) return;
    RECT frame{}, over{};
    GetWindowRect(window_, &frame);
    if (owner_ == nullptr || !GetWindowRect(owner_, &over)) {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &over, 0);
    }
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    SetWindowPos(window_, nullptr, over.left + (over.right - over.left - width) / 2,
                 over.top + (over.bottom - over.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(window_, SW_SHOWNORMAL);
    SetFocus(control(IdOK));
}

void Win32AboutDialog::bringToFront() {
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
}

void Win32AboutDialog::releaseOwner() {
    owner_ = nullptr;
    SetWindowLongPtrW(window_, GWLP_HWNDPARENT, 0);
}

void Win32AboutDialog::destroyNow() {
    onDestroyed_ = nullptr;
    events_.reset();
    DestroyWindow(window_);
}

bool Win32AboutDialog::preTranslate(MSG& message) {
    if (gone_ || (message.hwnd != window_ && !IsChild(window_, message.hwnd))) return false;
    return IsDialogMessageW(window_, &message) != 0;
}

void Win32AboutDialog::setCaption(const std::string& caption) {
    SetWindowTextW(window_, toWide(caption).c_str());
}

void Win32AboutDialog::setTitle(const std::string& text) {
    setWindowText(control(IdTitle), text);
}

void Win32AboutDialog::setVersion(const std::string& text) {
    setWindowText(control(IdVersion), text);
}

void Win32AboutDialog::unload() {
    if (!gone_) DestroyWindow(window_);
}

void Win32AboutDialog::run(void (AboutFormEvents::*handler)()) {
    if (!events_) {
        if (handler == &AboutFormEvents::cmdOK_Click) unload();
        return;
    }
    ++running_;
    AboutFormEvents* events = events_.get();
    // A failure the handler lets through is shown instead of unwinding
    // through the toolkit, which would end the program.
    runHandler([events, handler] { (events->*handler)(); }, *boxes_, applicationTitle());
    --running_;
    // Closed by the handler: the object goes now that nothing of it runs.
    if (gone_ && running_ == 0) delete this;
}

LRESULT CALLBACK Win32AboutDialog::procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* dialog = reinterpret_cast<Win32AboutDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (dialog == nullptr) return DefWindowProcW(window, message, w, l);
    return dialog->handle(message, w, l);
}

LRESULT Win32AboutDialog::handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(w);
            // Enter on the focused System Info button is its click; elsewhere OK's.
            if (id == IDOK && GetFocus() == control(IdSysInfo)) {
                run(&AboutFormEvents::cmdSysInfo_Click);
            } else if (id == IDOK || id == IDCANCEL) {
                run(&AboutFormEvents::cmdOK_Click);
            } else if (id == IdSysInfo && HIWORD(w) == BN_CLICKED) {
                run(&AboutFormEvents::cmdSysInfo_Click);
            }
            return 0;
        }
        case WM_CLOSE:
            run(&AboutFormEvents::cmdOK_Click);
            return 0;
        case WM_CTLCOLORSTATIC: {
            const auto from = reinterpret_cast<HWND>(l);
            const auto dc = reinterpret_cast<HDC>(w);
            const bool black = from != control(IdVersion);
            SetTextColor(dc, black ? RGB(0, 0, 0) : GetSysColor(COLOR_BTNTEXT));
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window_, &paint);
            const int dpi = systemDpi();
            // The grey line first, the wider white one over it.
            drawLine(dc, dpi, about::Line1_1);
            drawLine(dc, dpi, about::Line1_0);
            EndPaint(window_, &paint);
            return 0;
        }
        case WM_NCDESTROY: {
            gone_ = true;
            SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
            auto callback = std::move(onDestroyed_);
            if (callback) callback();
            if (running_ == 0) delete this;
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcW(window_, message, w, l);
}

}  // namespace pravelo::platform::win32
