#pragma once

#include "platform/message_boxes.h"

namespace pravelo::platform::qt {

// Modal message box with an OK button, parented to the active window.
class QtMessageBoxes : public MessageBoxes {
  public:
    void show(const std::string& text, MessageIcon icon, const std::string& title) override;
    bool ask(const std::string& text, const std::string& title) override;
};

}  // namespace pravelo::platform::qt
