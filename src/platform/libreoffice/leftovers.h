#pragma once

#include <filesystem>
#include <string>

// What offices of ours leave when both the program and the office's guard
// were killed: found by the owner mark in each private profile.
namespace pravelo::platform::libreoffice {

// Marks a private profile as belonging to this process.
void markOwner(const std::filesystem::path& profile);

// Whether the process that made this profile still runs.
bool ownerAlive(const std::filesystem::path& profile);

// Ends offices still running on the profiles in tempFolder whose owner is
// gone, puts back documents whose rewrite was cut short, and removes the
// profiles and the offices' sockets.
void sweepLeftovers(const std::filesystem::path& tempFolder);

// The journal an office keeps in its folder (a private profile, or a fork's
// own folder) of what it may leave behind should it die: the document being
// rewritten from a safety copy, and the lock files it made.
void journalRewrite(const std::filesystem::path& folder, const std::string& copy,
                    const std::string& target);
void journalRewriteDone(const std::filesystem::path& folder);
void journalLockFile(const std::filesystem::path& folder, const std::filesystem::path& lockFile);

// Puts back a rewrite the journal in folder shows cut short and, with
// locks, removes the lock files it lists.
void undoUnfinished(const std::filesystem::path& folder, bool locks);
// The same for the rewrite alone, clearing the journal once it is put back;
// false when a rewrite was cut short and could not be put back.
bool finishRewrite(const std::filesystem::path& folder);

// True when lockFile was left by an office of ours that no longer runs: it
// names a private profile in tempFolder whose owner is gone.
bool staleOwnLock(const std::filesystem::path& lockFile, const std::filesystem::path& tempFolder);

}  // namespace pravelo::platform::libreoffice
