#pragma once

#include <cstdint>
#include <string>

#include "platform/error.h"

namespace pravelo::platform::posix {

// Why a system call failed, in Danish whatever the user's locale: the
// system's own Danish text where it has one, else the program's own wording.
std::string danishReason(int errnum);

// The program's own Danish wording for the usual errno values; empty for others.
std::string ownDanishReason(int errnum);

// The program's failure number that matches an errno value.
std::int32_t errnumFor(int err);

// "what: reason", numbered after err.
Error systemError(int err, const std::string& what);

}  // namespace pravelo::platform::posix
