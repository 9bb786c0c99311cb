#pragma once

#include <windows.h>

#include "platform/message_boxes.h"

namespace pravelo::platform::win32 {

// Modal message boxes over the program's active window. A box asked for by
// work running away from the window's thread is shown on that thread, so the
// window it belongs to stays the one that waits.
class Win32MessageBoxes : public MessageBoxes {
  public:
    static constexpr UINT kShowMessage = WM_APP + 40;

    void show(const std::string& text, MessageIcon icon, const std::string& title) override;
    // The system's Yes/No box with its buttons named "Ja" and "Nej".
    bool ask(const std::string& text, const std::string& title) override;

    // The window whose thread shows the boxes; it passes kShowMessage to handleShow.
    void setWindow(HWND window) { window_ = window; }
    static LRESULT handleShow(LPARAM request);

  private:
    HWND window_ = nullptr;
};

}  // namespace pravelo::platform::win32
