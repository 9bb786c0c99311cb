#pragma once

#include <cstdint>
#include <string>

#include "platform/error.h"

namespace pravelo::platform::win32 {

// The system's own text for an error code or HRESULT, without its final full
// stop; empty when it has none.
std::string systemText(std::uint32_t code);

// Why a Windows call failed, in Danish for the usual codes, else the system's own text.
std::string danishReason(std::uint32_t code);

// The program's failure number that matches a Windows error code.
std::int32_t errnumFor(std::uint32_t code);

// "what: reason", numbered after code.
Error systemError(std::uint32_t code, const std::string& what);

}  // namespace pravelo::platform::win32
