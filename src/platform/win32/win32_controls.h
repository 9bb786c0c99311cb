#pragma once

#include <windows.h>

#include "platform/form_controls.h"

namespace pravelo::platform::win32 {

// The simple controls as the logic sees them. Values set from code raise no
// event: the form ignores change notices while `quiet` is set.

class Win32Label : public LabelControl {
  public:
    explicit Win32Label(HWND window) : window_(window) {}
    std::string caption() const override;
    void setCaption(const std::string& text) override;
    void setForeColor(Rgb color) override;
    void setBold(bool bold) override;
    // The colour the form paints the text in.
    COLORREF color() const { return color_; }
    HWND window() const { return window_; }

  private:
    HWND window_;
    COLORREF color_ = GetSysColor(COLOR_BTNTEXT);
};

class Win32TextBox : public TextBoxControl {
  public:
    Win32TextBox(HWND window, bool& quiet)
        : window_(window),
          quiet_(quiet),
          shown_((GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0) {}
    std::string text() const override;
    void setText(const std::string& text) override;
    void appendText(const std::string& more) override;
    bool isShown() const override { return shown_; }
    void setShown(bool shown) override;
    void setFocus() override;

  private:
    HWND window_;
    bool& quiet_;
    bool shown_;
};

class Win32Button : public ButtonControl {
  public:
    explicit Win32Button(HWND window) : window_(window) {}
    std::string caption() const override;
    void setCaption(const std::string& text) override;
    void setFocus() override;

  private:
    HWND window_;
};

class Win32StatusPanel : public StatusPanelControl {
  public:
    Win32StatusPanel(HWND statusBar, int part) : bar_(statusBar), part_(part) {}
    std::string text() const override;
    void setText(const std::string& text) override;

  private:
    HWND bar_;
    int part_;
};

}  // namespace pravelo::platform::win32
