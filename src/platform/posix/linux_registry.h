#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/posix/program_lookup.h"
#include "platform/registry.h"

namespace pravelo::platform::posix {

// Linux keeps no registry. This answers the one key the About dialog reads:
// the system information program's "PATH", present when such a program is
// installed. Every other key is missing. Result codes are those of Windows.
class LinuxRegistry : public Registry {
  public:
    static constexpr std::int32_t Success = 0;
    static constexpr std::int32_t FileNotFound = 2;
    static constexpr std::int32_t InvalidHandle = 6;
    static constexpr std::int32_t MoreData = 234;

    // Tried in order; the first one found is the system information program.
    explicit LinuxRegistry(std::vector<std::string> tools = defaultTools(),
                           ProgramLookup lookup = environmentLookup())
        : tools_(std::move(tools)), lookup_(std::move(lookup)) {}

    std::int32_t openKey(Key root, const std::string& subKey, std::uint32_t options,
                         std::uint32_t access, Key& result) override;
    std::int32_t queryValue(Key key, const std::string& valueName, std::uint32_t& type,
                            unsigned char* data, std::uint32_t& size) override;
    std::int32_t closeKey(Key key) override;

    static std::vector<std::string> defaultTools();

  private:
    std::vector<std::string> tools_;
    ProgramLookup lookup_;
    std::map<Key, std::string> open_;  // handle -> program path
    Key nextHandle_ = 0x100;
};

}  // namespace pravelo::platform::posix
