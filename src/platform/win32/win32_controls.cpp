#include "platform/win32/win32_controls.h"

#include <commctrl.h>

#include "platform/win32/gui_support.h"
#include "platform/win32/text_convert.h"

namespace pravelo::platform::win32 {

namespace {

// Sets a value without the change notice reaching the logic.
class Quiet {
  public:
    explicit Quiet(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
    ~Quiet() { flag_ = before_; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

  private:
    bool& flag_;
    bool before_;
};

}  // namespace

std::string Win32Label::caption() const {
    return windowText(window_);
}

void Win32Label::setCaption(const std::string& text) {
    setWindowText(window_, text);
}

void Win32Label::setForeColor(Rgb color) {
    color_ = RGB(color.red, color.green, color.blue);
    InvalidateRect(window_, nullptr, TRUE);
}

void Win32Label::setBold(bool bold) {
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont(bold)), TRUE);
}

std::string Win32TextBox::text() const {
    return windowText(window_);
}

void Win32TextBox::setText(const std::string& text) {
    const Quiet quiet(quiet_);
    setWindowText(window_, text);
}

void Win32TextBox::appendText(const std::string& more) {
    const Quiet quiet(quiet_);
    const int end = GetWindowTextLengthW(window_);
    SendMessageW(window_, EM_SETSEL, end, end);
    SendMessageW(window_, EM_REPLACESEL, FALSE,
                 reinterpret_cast<LPARAM>(withCrLf(toWide(more)).c_str()));
}

void Win32TextBox::setShown(bool shown) {
    shown_ = shown;
    ShowWindow(window_, shown ? SW_SHOWNA : SW_HIDE);
}

void Win32TextBox::setFocus() {
    SetFocus(window_);
}

std::string Win32Button::caption() const {
    return windowText(window_);
}

void Win32Button::setCaption(const std::string& text) {
    setWindowText(window_, text);
}

void Win32Button::setFocus() {
    SetFocus(window_);
}

std::string Win32StatusPanel::text() const {
    const auto length = LOWORD(SendMessageW(bar_, SB_GETTEXTLENGTHW, part_, 0));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(bar_, SB_GETTEXTW, part_, reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return fromWide(text);
}

void Win32StatusPanel::setText(const std::string& text) {
    SendMessageW(bar_, SB_SETTEXTW, part_, reinterpret_cast<LPARAM>(toWide(text).c_str()));
}

}  // namespace pravelo::platform::win32
