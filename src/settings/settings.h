#pragma once

#include <cstdint>
#include <memory>
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
    // Null when the file cannot be opened; that is told to the user once per run.
    std::unique_ptr<platform::TextInput> openSettingsFile();
    std::string readMacroName();
    void readDocumentTypes();
    void report(const std::string& description);

    const platform::Platform& platform_;
    common::CommenFunctions& common_;
    std::string macroName_;
    std::string sysPath_;
    // One problem with the settings file (cannot be written, cannot be opened) is
    // told once, not again by every reader that follows.
    bool fileProblemReported_ = false;
};

}  // namespace pravelo::settings
