#pragma once

#include <string>

namespace pravelo::platform {

enum class MessageIcon { None, Information, Critical };

// Modal message boxes with an OK button alone.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    virtual void show(const std::string& text, MessageIcon icon, const std::string& title) = 0;
};

}  // namespace pravelo::platform
