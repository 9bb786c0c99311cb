#pragma once

#include "platform/registry.h"

namespace pravelo::platform::win32 {

// The registry's own 8-bit calls; names go to them in the ANSI code page.
class Win32Registry : public Registry {
  public:
    std::int32_t openKey(Key root, const std::string& subKey, std::uint32_t options,
                         std::uint32_t access, Key& result) override;
    std::int32_t queryValue(Key key, const std::string& valueName, std::uint32_t& type,
                            unsigned char* data, std::uint32_t& size) override;
    std::int32_t closeKey(Key key) override;
};

}  // namespace pravelo::platform::win32
