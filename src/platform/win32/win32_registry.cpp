#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/text_convert.h"

namespace pravelo::platform::win32 {

namespace {

// The predefined roots are 32-bit values that Windows sign-extends into a
// 64-bit handle; 0x80000002 alone is not HKEY_LOCAL_MACHINE there.
HKEY toHandle(Registry::Key key) {
    if (key >= 0x80000000u && key <= 0xFFFFFFFFu) {
        return reinterpret_cast<HKEY>(
            static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<LONG>(key))));
    }
    return reinterpret_cast<HKEY>(key);
}

}  // namespace

std::int32_t Win32Registry::openKey(Key root, const std::string& subKey, std::uint32_t options,
                                    std::uint32_t access, Key& result) {
    HKEY opened = nullptr;
    const LONG status =
        RegOpenKeyExA(toHandle(root), utf8ToAnsi(subKey).c_str(), options, access, &opened);
    if (status == ERROR_SUCCESS) result = reinterpret_cast<Key>(opened);
    return status;
}

std::int32_t Win32Registry::queryValue(Key key, const std::string& valueName, std::uint32_t& type,
                                       unsigned char* data, std::uint32_t& size) {
    const std::uint32_t room = size;
    DWORD valueType = 0;
    DWORD length = size;
    const LONG status = RegQueryValueExA(toHandle(key), utf8ToAnsi(valueName).c_str(), nullptr,
                                         &valueType, data, &length);
    type = valueType;
    size = length;
    const bool text = valueType == REG_SZ || valueType == REG_EXPAND_SZ;
    if (status != ERROR_SUCCESS || data == nullptr || !text) return status;
    // The logic's texts are UTF-8; the bytes stay as they were where they are ASCII,
    // terminator or not.
    const std::string utf8 = ansiToUtf8(std::string_view(reinterpret_cast<char*>(data), length));
    if (utf8.size() > room) return ERROR_MORE_DATA;
    std::copy(utf8.begin(), utf8.end(), data);
    size = static_cast<std::uint32_t>(utf8.size());
    return status;
}

std::int32_t Win32Registry::closeKey(Key key) {
    return RegCloseKey(toHandle(key));
}

}  // namespace pravelo::platform::win32
