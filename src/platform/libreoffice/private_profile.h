#pragma once

#include <filesystem>
#include <string>

namespace pravelo::platform::libreoffice {

// A profile of the hidden office's own, in a fresh private folder: a copy of
// the user's "My Macros" plus settings that skip the first-start work, keep
// document macros from running and switch as-you-type checking off. The user's
// profile is only read. The folder is removed on destruction.
class PrivateProfile {
  public:
    // Throws Error when the folder cannot be made or the macros cannot be copied.
    // A warm template (a profile an office has already started on once) saves
    // the office the set-up work of a profile it has never seen.
    PrivateProfile(const std::filesystem::path& tempParent,
                   const std::filesystem::path& userProfile, const std::string& productVersion,
                   const PrivateProfile* warmTemplate = nullptr);
    PrivateProfile(const PrivateProfile&) = delete;
    PrivateProfile& operator=(const PrivateProfile&) = delete;
    ~PrivateProfile();

    const std::filesystem::path& root() const { return root_; }
    // The value for -env:UserInstallation.
    std::string url() const;

  private:
    std::filesystem::path root_;
};

// What a private profile's macros are copied from, as it stands now: the
// user's Basic and dialog libraries and the folders of the linked ones. Equal
// stamps mean a copy made now would hold the same macros.
std::string macroSourcesStamp(const std::filesystem::path& userProfile);

// file:// URL of an absolute path, every byte outside the unreserved set escaped.
std::string fileUrl(const std::filesystem::path& absolute);

// The settings a private profile starts with (registrymodifications.xcu).
std::string seededRegistry(const std::string& productVersion);

// The "7.4" of the installed office, read from its default settings; empty when
// it cannot be found.
std::string installedProductVersion(const std::filesystem::path& programDir);

}  // namespace pravelo::platform::libreoffice
