#pragma once

#include "platform/platform.h"

namespace pravelo::settings {

class Settings;

// Writes the settings file with its default contents.
class BuildPravelo {
  public:
    BuildPravelo(const platform::Platform& platform, Settings& settings)
        : platform_(platform), settings_(settings) {}

    // Appends the defaults, creating the file; failures pass to the caller.
    void WriteDefaultSettingsFile();

  private:
    const platform::Platform& platform_;
    Settings& settings_;
};

}  // namespace pravelo::settings
