#pragma once

#include <cstdint>

#include "platform/error.h"

// Numbers of the failures this office layer reports. Basic runtime errors keep
// the number Basic gives them; the rest follow the numbers Basic users know.
namespace pravelo::platform::libreoffice::errors {

inline constexpr std::int32_t InvalidMacroName = 5;     // invalid procedure call or argument
inline constexpr std::int32_t MacroNotFound = 35;       // sub or function not defined
inline constexpr std::int32_t AmbiguousMacroName = 35;  // one name, several macros
inline constexpr std::int32_t CannotStartOffice = 429;  // component can't create object
inline constexpr std::int32_t NoActiveDocument = 91;    // object variable not set
inline constexpr std::int32_t DocumentNotFound = errnum::FileNotFound;
inline constexpr std::int32_t FolderNotFound = errnum::PathNotFound;
inline constexpr std::int32_t CannotOpen = errnum::FileAccess;
inline constexpr std::int32_t CannotSave = 57;  // device I/O error
inline constexpr std::int32_t NoDisplay = errnum::DeviceUnavailable;
inline constexpr std::int32_t OfficeFailure = errnum::Internal;
inline constexpr std::int32_t TimedOut = errnum::TimedOut;
inline constexpr std::int32_t OfficeEnded = 1002;
inline constexpr std::int32_t MacroFailed = 1003;  // stopped without a Basic error number

}  // namespace pravelo::platform::libreoffice::errors
