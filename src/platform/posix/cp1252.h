#pragma once

#include <string>
#include <string_view>

namespace pravelo::platform::posix {

// Windows-1252 bytes to UTF-8. The five bytes the code page leaves undefined
// map to the C1 controls of the same value, as Windows itself does.
std::string cp1252ToUtf8(std::string_view bytes);

// UTF-8 to Windows-1252. Characters outside the code page and every byte that
// is not part of a well-formed UTF-8 sequence become "?".
std::string utf8ToCp1252(std::string_view text);

}  // namespace pravelo::platform::posix
