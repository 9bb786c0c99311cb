#pragma once

#include <chrono>
#include <filesystem>
#include <string>

namespace pravelo::platform::libreoffice {

// What each way of starting hidden offices is given, the UNO launcher and the
// fork engine alike.
struct LibreOfficeOptions {
    // The user's profile folder ("…/libreoffice/4/user"); its "My Macros" are
    // copied into each hidden office's private profile. Only read.
    std::filesystem::path userProfile;
    std::filesystem::path soffice = PRAVELO_LO_PROGRAM_DIR "/soffice";
    // For one step: starting, opening, one macro, saving, quitting.
    std::chrono::milliseconds timeLimit = std::chrono::minutes(3);
    // Where private profiles are made.
    std::filesystem::path tempFolder;
    // True once what killed offices of ours left in tempFolder was swept for
    // this start, so that a second launcher does not sweep again.
    bool swept = false;

    // userProfile from $HOME, tempFolder the system's.
    static LibreOfficeOptions defaults();
};

// Before a launcher starts anything: the system's temporary folder when none
// was given, and the leftovers in it swept unless that was done.
void prepareStart(LibreOfficeOptions& options);

// The "7.4" of the installed office, or 7.4 when it cannot be told.
std::string productVersionOf(const LibreOfficeOptions& options);

// How long an office told to quit may take before it is ended.
inline constexpr auto QuitGrace = std::chrono::seconds(5);

}  // namespace pravelo::platform::libreoffice
