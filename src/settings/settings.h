#pragma once

#include <cstdint>
#include <string>

#include "common/commen_functions.h"
#include "platform/platform.h"

namespace pravelo::settings {

// The process-wide settings ("MNavn", "SysPath") and the settings file beside
// the program that feeds them at start-up.
class Settings {
  public:
    Settings(const platform::Platform& platform, common::CommenFunctions& common)
        : platform_(platform), common_(common) {}

    std::string GetSettingValue(const std::string& key);
    void SetMacroName(const std::string& name);

    void LoadSettings();
    // 1: the macro name; 2: appends the document types to the pattern list.
    std::string ReadSettingsSection(std::int16_t section);

    // "SysPath" + product name + extension (".dll", ".log").
    std::string FileBesideProgram(const std::string& extension);

  private:
    std::string readMacroName();
    void readDocumentTypes();
    void report(const std::string& description);

    const platform::Platform& platform_;
    common::CommenFunctions& common_;
    std::string macroName_;
    std::string sysPath_;
    // Set when start-up already told the user the settings file could not be written,
    // so the missing file is not reported a second time.
    bool missingFileReported_ = false;
};

}  // namespace pravelo::settings
