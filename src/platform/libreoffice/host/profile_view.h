#pragma once

#include <filesystem>
#include <string>
#include <system_error>

// How each fork of the office host gets a profile of its own at the path the
// office was started on: an overlay in a mount namespace of its own, where
// the system allows it, or the profile put back from a snapshot before each fork.
namespace pravelo::platform::libreoffice {

// Overlay: in a mount namespace of its own (needs privilege); UserOverlay: in
// a user namespace as well, as an unprivileged user may where the system allows.
enum class ProfileView { Overlay, UserOverlay, Copy };

std::string profileViewName(ProfileView view);

// "overlay", "userns", "copy", or anything else for the overlay that works
// here (with a user namespace unless privileged); tried out in a throw-away
// process below root.
ProfileView chooseProfileView(const std::string& wanted, const std::filesystem::path& root);

// In a fork: lays an overlay over the profile whose changes go to the fork's
// folder, then keeps no capability the process did not hold before. Empty on
// success, else why not.
std::string enterOverlay(const std::filesystem::path& profile,
                         const std::filesystem::path& forkFolder, ProfileView view);

// Puts the profile back as the snapshot has it.
void restoreProfile(const std::filesystem::path& snapshot, const std::filesystem::path& profile,
                    std::error_code& ec);

// Removes a folder with all in it, overlay work folders (which the kernel
// leaves without permissions) included.
void removeTree(const std::filesystem::path& folder);

}  // namespace pravelo::platform::libreoffice
