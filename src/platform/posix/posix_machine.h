#pragma once

#include <locale.h>

#include <ctime>
#include <functional>
#include <string>

#include "platform/machine.h"

namespace pravelo::platform::posix {

class PosixMachine : public Machine {
  public:
    // Local broken-down time of "now".
    using Clock = std::function<std::tm()>;

    // localeName "" takes the formats from the environment (LC_ALL, LC_TIME, LANG);
    // a locale that is not installed falls back to the C locale.
    explicit PosixMachine(Clock clock = systemClock(), const std::string& localeName = "");
    ~PosixMachine() override;
    PosixMachine(const PosixMachine&) = delete;
    PosixMachine& operator=(const PosixMachine&) = delete;

    std::string executableFolder() const override;
    std::string workingFolder() const override;
    char pathSeparator() const override { return '/'; }
    std::string userSettingsFolder() const override;

    std::string shortDate() const override;
    std::string longTime() const override;
    std::string defaultDateTime() const override;
    std::string fileDateTime() const override;

    static Clock systemClock();

  private:
    std::string format(const std::tm& time, const char* format) const;
    std::string toUtf8(std::string text) const;
    std::string dateText(const std::tm& time) const;
    std::string timeText(const std::tm& time) const;

    Clock clock_;
    locale_t locale_;
};

}  // namespace pravelo::platform::posix
