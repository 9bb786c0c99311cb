#pragma once

#include <string>

namespace pravelo::platform {

// Where the program runs from and what time it is, as the user's locale writes it.
class Machine {
  public:
    virtual ~Machine() = default;

    // Folder of the running executable, without a trailing separator except for a root.
    virtual std::string executableFolder() const = 0;
    virtual std::string workingFolder() const = 0;
    virtual char pathSeparator() const = 0;
    // Where the user's programs keep their settings, without a trailing separator:
    // $XDG_CONFIG_HOME or ~/.config on Linux, %APPDATA% on Windows. Throws Error.
    virtual std::string userSettingsFolder() const = 0;

    // "now" in the locale's formats.
    virtual std::string shortDate() const = 0;
    virtual std::string longTime() const = 0;
    // Short date, a blank, long time; the time is left out at exactly midnight.
    virtual std::string defaultDateTime() const = 0;
    // Short date, ", ", long time: how files date their lines. One reading of the
    // clock, so a line written at midnight does not mix two days.
    virtual std::string fileDateTime() const = 0;
};

}  // namespace pravelo::platform
