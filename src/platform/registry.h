#pragma once

#include <cstdint>
#include <string>

namespace pravelo::platform {

// The 8-bit registry calls: each returns 0 on success or an error code.
class Registry {
  public:
    using Key = std::uintptr_t;

    static constexpr std::uint32_t LocalMachine = 0x80000002u;
    static constexpr std::uint32_t TypeString = 1;
    static constexpr std::uint32_t TypeExpandString = 2;
    static constexpr std::uint32_t TypeDword = 4;

    virtual ~Registry() = default;
    virtual std::int32_t openKey(Key root, const std::string& subKey, std::uint32_t options,
                                 std::uint32_t access, Key& result) = 0;
    // On entry size holds the buffer's size; on success it holds the data's length.
    virtual std::int32_t queryValue(Key key, const std::string& valueName, std::uint32_t& type,
                                    unsigned char* data, std::uint32_t& size) = 0;
    virtual std::int32_t closeKey(Key key) = 0;
};

}  // namespace pravelo::platform
