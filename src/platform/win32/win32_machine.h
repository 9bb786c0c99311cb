#pragma once

#include <ctime>
#include <functional>
#include <string>

#include "platform/machine.h"

namespace pravelo::platform::win32 {

// Program folder, working folder and "now" in the user's regional formats.
class Win32Machine : public Machine {
  public:
    // Local broken-down time of "now".
    using Clock = std::function<std::tm()>;

    explicit Win32Machine(Clock clock = systemClock()) : clock_(std::move(clock)) {}

    std::string executableFolder() const override;
    std::string workingFolder() const override;
    char pathSeparator() const override { return '\\'; }
    std::string userSettingsFolder() const override;

    std::string shortDate() const override;
    std::string longTime() const override;
    std::string defaultDateTime() const override;
    std::string fileDateTime() const override;

    static Clock systemClock();

  private:
    Clock clock_;
};

}  // namespace pravelo::platform::win32
