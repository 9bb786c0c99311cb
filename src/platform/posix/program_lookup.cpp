#include "platform/posix/program_lookup.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace pravelo::platform::posix {

std::string findOnPath(const std::string& name, const std::string& pathList) {
    if (name.empty() || name.find('/') != std::string::npos) return "";
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = pathList.find(':', start);
        const std::size_t length = (colon == std::string::npos ? pathList.size() : colon) - start;
        const std::string candidate =
            (length == 0 ? std::string(".") : pathList.substr(start, length)) + "/" + name;
        struct stat info {};
        if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        if (colon == std::string::npos) return "";
        start = colon + 1;
    }
}

ProgramLookup environmentLookup() {
    return [](const std::string& name) {
        const char* path = std::getenv("PATH");
        return findOnPath(name, path ? path : "/usr/local/bin:/usr/bin:/bin");
    };
}

}  // namespace pravelo::platform::posix
