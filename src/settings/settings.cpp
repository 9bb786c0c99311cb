#include "settings/settings.h"

#include <exception>

#include "platform/error.h"
#include "settings/build_pravelo.h"

namespace pravelo::settings {

namespace {
const std::string kMacroHead = "[Makro]";
const std::string kDocTypeHead = "[DocType]";

// The file is the user's to edit and may be anything, even gigabytes: each
// reading takes at most this many lines of at most this many bytes (a longer
// line counts as several), so start-up stays quick and small whatever it holds.
constexpr std::size_t kMaxLineBytes = 4096;
constexpr int kMaxLines = 4096;
}  // namespace

std::string Settings::GetSettingValue(const std::string& key) {
    try {
        if (key == "MNavn") return macroName_;
        if (key == "SysPath") return sysPath_;
        return {};
    } catch (const std::exception& e) {
        platform_.messages.show(e.what(), platform::MessageIcon::Critical,
                                platform_.version.productName);
        return {};
    }
}

void Settings::SetMacroName(const std::string& name) {
    macroName_ = name;
}

std::string Settings::FilePath(const std::string& extension) {
    const bool besideProgram = userFolder_.empty() || (extension == ".dll" && readsProgramDefault_);
    const std::string folder = besideProgram ? GetSettingValue("SysPath") : userFolder_;
    return folder + platform_.version.productName + extension;
}

std::string Settings::FileToWrite(const std::string& extension) {
    if (userFolder_.empty()) return FilePath(extension);
    platform_.files.createFolder(userFolder_);
    return userFolder_ + platform_.version.productName + extension;
}

std::string Settings::SettingsFileToEdit() {
    if (!readsProgramDefault_) return FilePath(".dll");
    const std::string programDefault = FilePath(".dll");
    try {
        const std::string own = FileToWrite(".dll");
        if (!platform_.files.isOrdinaryFile(own)) platform_.files.copyFile(programDefault, own);
        readsProgramDefault_ = false;
        return own;
    } catch (const std::exception& e) {
        report(e.what());
        return programDefault;
    }
}

void Settings::chooseFolder() {
    userFolder_.clear();
    readsProgramDefault_ = false;
    const std::string product = platform_.version.productName;
    if (!platform_.files.isOrdinaryFile(sysPath_ + product + kInstalledMark) &&
        platform_.files.folderWritable(sysPath_)) {
        return;
    }
    const char separator = platform_.machine.pathSeparator();
    std::string folder = platform_.machine.userSettingsFolder();
    if (folder.empty() || folder.back() != separator) folder += separator;
    userFolder_ = folder + product + separator;
    // An administrator's settings beside the program serve a user who has none.
    readsProgramDefault_ = !common_.FileExists(userFolder_ + product + ".dll") &&
                           common_.FileExists(sysPath_ + product + ".dll");
}

void Settings::report(const std::string& description) {
    platform_.messages.show(description, platform::MessageIcon::None,
                            platform_.version.productName);
}

void Settings::LoadSettings() {
    try {
        std::string folder = platform_.machine.executableFolder();
        const char separator = platform_.machine.pathSeparator();
        if (folder.empty() || folder.back() != separator) folder += separator;
        sysPath_ = folder;
        chooseFolder();

        if (!common_.FileExists(FilePath(".dll"))) {
            BuildPravelo(platform_, *this).WriteDefaultSettingsFile();
        }
        macroName_ = ReadSettingsSection(1);
    } catch (const std::exception& e) {
        // The file was not found or made: the readers that follow say nothing more.
        fileProblemReported_ = true;
        report(e.what());
    }
}

std::string Settings::ReadSettingsSection(std::int16_t section) {
    switch (section) {
        case 1:
            return readMacroName();
        case 2:
            readDocumentTypes();
            return {};
        default:
            return {};
    }
}

std::unique_ptr<platform::TextInput> Settings::openSettingsFile() {
    try {
        return platform_.files.openForInput(FilePath(".dll"));
    } catch (const std::exception& e) {
        if (!fileProblemReported_) report(e.what());
        fileProblemReported_ = true;
        return nullptr;
    }
}

std::string Settings::readMacroName() {
    std::string result;
    auto input = openSettingsFile();
    if (!input) return result;
    try {
        for (int read = 0; read < kMaxLines && !input->atEnd(); ++read) {
            if (input->readLine(kMaxLineBytes) == kMacroHead) {
                result = input->readLine(kMaxLineBytes);
                break;
            }
        }
    } catch (const std::exception& e) {
        report(e.what());
    }
    return result;
}

void Settings::readDocumentTypes() {
    auto input = openSettingsFile();
    if (!input) return;
    try {
        bool inList = false;
        for (int read = 0; read < kMaxLines && !input->atEnd(); ++read) {
            const std::string line = input->readLine(kMaxLineBytes);
            if (line.empty() && inList) break;
            if (inList) platform_.form.Combo1().addItem(line);
            if (line == kDocTypeHead) inList = true;
        }
    } catch (const std::exception& e) {
        report(e.what());
    }
}

}  // namespace pravelo::settings
