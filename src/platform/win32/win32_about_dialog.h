#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/main_form.h"
#include "platform/message_boxes.h"

namespace pravelo::platform::win32 {

// The modeless About dialog frmAbout. It owns itself: it is deleted when its
// window has gone, after the handler that closed it has returned. OK, Enter,
// Esc and the close box all go to the logic's cmdOK_Click.
class Win32AboutDialog : public AboutForm {
  public:
    enum Id : int {
        IdOK = IDOK,
        IdSysInfo = 301,
        IdPicture,
        IdDescription,
        IdTitle,
        IdVersion,
        IdDisclaimer
    };

    Win32AboutDialog(HWND owner, MessageBoxes* boxes);
    ~Win32AboutDialog() override;
    Win32AboutDialog(const Win32AboutDialog&) = delete;
    Win32AboutDialog& operator=(const Win32AboutDialog&) = delete;

    void setEvents(std::unique_ptr<AboutFormEvents> events) { events_ = std::move(events); }
    void setOnDestroyed(std::function<void()> callback) { onDestroyed_ = std::move(callback); }
    // Raises the logic's Form_Load.
    void load();
    void showCentred();
    void bringToFront();
    // The owner is going: the dialog stays as a window of its own.
    void releaseOwner();
    // Destroys window and object at once, without the logic.
    void destroyNow();
    bool preTranslate(MSG& message);

    HWND window() const { return window_; }
    HWND control(int id) const { return GetDlgItem(window_, id); }

    void setCaption(const std::string& caption) override;
    void setTitle(const std::string& text) override;
    void setVersion(const std::string& text) override;
    void unload() override;

    static std::string disclaimerText();

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l);
    LRESULT handle(UINT message, WPARAM w, LPARAM l);
    void createControls();
    void run(void (AboutFormEvents::*handler)());

    HWND window_ = nullptr;
    HWND owner_ = nullptr;
    MessageBoxes* boxes_;
    std::unique_ptr<AboutFormEvents> events_;
    std::function<void()> onDestroyed_;
    int running_ = 0;
    bool gone_ = false;
};

}  // namespace pravelo::platform::win32
