#include "platform/posix/linux_registry.h"

#include <algorithm>
#include <cstring>

namespace pravelo::platform::posix {

namespace {

constexpr const char* kSysInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kPathValue = "PATH";

// Key and value names are case-insensitive, as on Windows.
bool sameName(const std::string& a, const char* b) {
    const std::size_t length = std::strlen(b);
    if (a.size() != length) return false;
    return std::equal(a.begin(), a.end(), b, [](char x, char y) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

}  // namespace

std::vector<std::string> LinuxRegistry::defaultTools() {
    return {"hardinfo2",          "hardinfo", "kinfocenter",
            "lshw-gtk",           "cpu-x",    "gnome-system-monitor",
            "mate-system-monitor"};
}

std::int32_t LinuxRegistry::openKey(Key root, const std::string& subKey, std::uint32_t,
                                    std::uint32_t, Key& result) {
    if (root != LocalMachine || !sameName(subKey, kSysInfoKey)) return FileNotFound;
    for (const auto& tool : tools_) {
        std::string program = lookup_(tool);
        if (program.empty()) continue;
        result = nextHandle_++;
        open_.emplace(result, std::move(program));
        return Success;
    }
    return FileNotFound;
}

std::int32_t LinuxRegistry::queryValue(Key key, const std::string& valueName, std::uint32_t& type,
                                       unsigned char* data, std::uint32_t& size) {
    const auto found = open_.find(key);
    if (found == open_.end()) return InvalidHandle;
    if (!sameName(valueName, kPathValue)) return FileNotFound;
    const std::string& program = found->second;
    const auto needed = static_cast<std::uint32_t>(program.size() + 1);  // with its zero byte
    type = TypeString;
    if (data == nullptr) {
        size = needed;
        return Success;
    }
    if (size < needed) {
        size = needed;
        return MoreData;
    }
    std::memcpy(data, program.c_str(), needed);
    size = needed;
    return Success;
}

std::int32_t LinuxRegistry::closeKey(Key key) {
    return open_.erase(key) == 1 ? Success : InvalidHandle;
}

}  // namespace pravelo::platform::posix
