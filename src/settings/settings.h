#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/commen_functions.h"
#include "platform/platform.h"

namespace pravelo::settings {

// The process-wide settings ("MNavn", "SysPath") and the settings file that
// feeds them at start-up. The settings file and the log stay beside the program
// when its folder is writable; an installed copy (marked by a file beside it) or
// one in a folder the user cannot write keeps them in the user's own folder.
class Settings {
  public:
    Settings(const platform::Platform& platform, common::CommenFunctions& common)
        : platform_(platform), common_(common) {}

    std::string GetSettingValue(const std::string& key);
    void SetMacroName(const std::string& name);

    void LoadSettings();
    // 1: the macro name; 2: appends the document types to the pattern list.
    std::string ReadSettingsSection(std::int16_t section);

    // Where the program's file with that extension (".dll", ".log") is read:
    // the folder in use + product name + extension.
    std::string FilePath(const std::string& extension);
    // The same path for writing; makes the user's folder when that is in use.
    // Throws Error.
    std::string FileToWrite(const std::string& extension);
    // The settings file for the user to edit. An administrator's file read as
    // the default is first copied to the user's folder, so it is never edited in
    // place; when that fails the user is told and gets the file where it is.
    std::string SettingsFileToEdit();

    // Beside an installed program: its settings and log go to the user's folder
    // even when the program's folder can be written (as by root).
    static constexpr const char* kInstalledMark = ".installed";

  private:
    // Null when the file cannot be opened; that is told to the user once per run.
    std::unique_ptr<platform::TextInput> openSettingsFile();
    std::string readMacroName();
    void readDocumentTypes();
    void report(const std::string& description);
    void chooseFolder();

    const platform::Platform& platform_;
    common::CommenFunctions& common_;
    std::string macroName_;
    std::string sysPath_;
    // The user's own folder, ending in the separator; empty while the files are
    // beside the program.
    std::string userFolder_;
    // The user has no settings file of their own and reads the one beside the program.
    bool readsProgramDefault_ = false;
    // One problem with the settings file (cannot be written, cannot be opened) is
    // told once, not again by every reader that follows.
    bool fileProblemReported_ = false;
};

}  // namespace pravelo::settings
