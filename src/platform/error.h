#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace pravelo::platform {

// A failure raised by anything outside the logic: it carries a number and a
// description, the two things the program shows or logs.
class Error : public std::runtime_error {
  public:
    Error(std::int32_t number, const std::string& description)
        : std::runtime_error(description), number_(number) {}

    std::int32_t number() const { return number_; }
    std::string description() const { return what(); }

  private:
    std::int32_t number_;
};

// Numbers used where the platform has no number of its own.
namespace errnum {
inline constexpr std::int32_t FileNotFound = 53;
inline constexpr std::int32_t InputPastEnd = 62;
inline constexpr std::int32_t PermissionDenied = 70;
inline constexpr std::int32_t PathNotFound = 76;
inline constexpr std::int32_t FileAccess = 75;
inline constexpr std::int32_t DeviceUnavailable = 68;
inline constexpr std::int32_t Internal = 51;
// An office step that did not end within its limit; the office was stopped.
inline constexpr std::int32_t TimedOut = 1001;
}  // namespace errnum

}  // namespace pravelo::platform
