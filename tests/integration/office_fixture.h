#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/libreoffice/uno/libreoffice_launcher.h"

namespace pravelo::testing {

// A folder removed with everything in it when the object goes.
class TempFolder {
  public:
    explicit TempFolder(const std::string& prefix = "pravelo-test-");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// Basic source per module, per library: {"Standard", {{"Module1", "Sub A..."}}}.
using Libraries = std::map<std::string, std::map<std::string, std::string>>;

// Writes a user profile folder whose "My Macros" hold the given libraries.
void writeUserProfile(const std::filesystem::path& userFolder, const Libraries& libraries);

// Hash of every file's name and contents below the folder.
std::string folderDigest(const std::filesystem::path& folder);

// Word 97 documents made once per test run from plain text: name -> text.
// Returns the folder that holds "<name>.doc".
std::filesystem::path wordFixtures();
const std::map<std::string, std::string>& fixtureTexts();

// An ODF text document carrying its own Basic library, whose named macro is
// bound to the document's load event.
void writeOdtWithMacros(const std::filesystem::path& path, const std::string& text,
                        const std::string& basicSource, const std::string& onLoadMacro);

std::string readBytes(const std::filesystem::path& path);

// The text the office reads from a document.
std::string officeText(const std::filesystem::path& document);

// Processes whose command line mentions the text (our offices carry their
// private profile folder in it).
std::vector<pid_t> processesMentioning(const std::string& text);

// Office hosts of a program whose temporary folder is tempFolder: told their
// folder by socket, so found by program and environment.
std::vector<pid_t> officeHostsOf(const std::filesystem::path& tempFolder);
// Hidden offices at work for that program: offices over UNO, or forks of its hosts.
std::vector<pid_t> officesOf(const std::filesystem::path& tempFolder);

}  // namespace pravelo::testing
