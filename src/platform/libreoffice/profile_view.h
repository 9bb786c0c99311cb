#pragma once

#include <filesystem>
#include <string>
#include <system_error>

// How each fork of the office host gets a profile of its own at the path the
// office was started on: an overlay in a mount namespace of its own, where
// the system allows it, or the profile put back from a snapshot before each fork.
namespace pravelo::platform::libreoffice {

enum class ProfileView { Overlay, Copy };

std::string profileViewName(ProfileView view);

// "overlay", "copy", or anything else for the overlay where it works; tried
// out in a throw-away process below root.
ProfileView chooseProfileView(const std::string& wanted, const std::filesystem::path& root);

// In a fork: lays an overlay over the profile whose changes go to the fork's
// folder. Empty on success, else why not.
std::string enterOverlay(const std::filesystem::path& profile,
                         const std::filesystem::path& forkFolder);

// Puts the profile back as the snapshot has it.
void restoreProfile(const std::filesystem::path& snapshot, const std::filesystem::path& profile,
                    std::error_code& ec);

// Removes a folder with all in it, overlay work folders (which the kernel
// leaves without permissions) included.
void removeTree(const std::filesystem::path& folder);

}  // namespace pravelo::platform::libreoffice
