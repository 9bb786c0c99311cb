#pragma once

#include <functional>
#include <string>

namespace pravelo::platform::posix {

// Full path of an executable ordinary file by its name; "" when there is none.
using ProgramLookup = std::function<std::string(const std::string& name)>;

// Searches the colon-separated folders of pathList in order; an empty entry is
// the working folder, as the shell has it.
std::string findOnPath(const std::string& name, const std::string& pathList);

// Searches the PATH of the environment as it is at each call.
ProgramLookup environmentLookup();

}  // namespace pravelo::platform::posix
