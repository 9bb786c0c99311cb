#pragma once

#include <functional>
#include <string>

#include "platform/message_boxes.h"

namespace pravelo::platform {

// Runs the handler of a user's action. A failure that escapes it is shown in a
// message box with the critical icon under title, and the window goes on.
void runHandler(const std::function<void()>& handler, MessageBoxes& boxes,
                const std::string& title);

}  // namespace pravelo::platform
