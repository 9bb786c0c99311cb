#pragma once

#include <string>

namespace pravelo::platform {

enum class MessageIcon { None, Information, Critical };

// Modal message boxes: an OK button alone, or a question.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    virtual void show(const std::string& text, MessageIcon icon, const std::string& title) = 0;
    // A question with the buttons "Ja" (the default) and "Nej"; true for "Ja".
    virtual bool ask(const std::string& text, const std::string& title) = 0;
};

}  // namespace pravelo::platform
