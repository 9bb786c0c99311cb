#pragma once

#include <cstdint>
#include <string>

// An office copy runs the user's macros on the user's documents, and may do
// no more than the user may. Entering a user namespace hands a process every
// capability over the user's own files (until an exec, which a fork never
// does), so each copy gives back what the user does not hold outside it.
namespace pravelo::platform::libreoffice {

// The capabilities this process may use now (its permitted set), one bit each.
std::uint64_t heldCapabilities();

// Leaves this process no capability outside `user`, with none to regain: the
// inheritable and ambient sets emptied, the bounding set cut to `user`, no
// new privileges through an exec, and (for a user without any) root's special
// treatment switched off for good. Empty on success, else why not.
std::string keepOnlyUserRights(std::uint64_t user);

}  // namespace pravelo::platform::libreoffice
