#pragma once

#include <cstdint>
#include <string>

#include "platform/error.h"

namespace pravelo::platform::posix {

// The system's own wording for an errno value, in the user's language where
// the system has a translation.
std::string systemReason(int err);

// The program's failure number that matches an errno value.
std::int32_t errnumFor(int err);

// "what: reason", numbered after err.
Error systemError(int err, const std::string& what);

}  // namespace pravelo::platform::posix
