#pragma once

#include <string>
#include <string_view>

namespace pravelo::platform::win32 {

// The program's texts are UTF-8; Windows takes names and paths as UTF-16.
std::wstring toWide(std::string_view utf8);
std::string fromWide(std::wstring_view wide);

// The system's ANSI code page, for files and the 8-bit registry calls.
// Characters the code page lacks become "?".
std::string utf8ToAnsi(std::string_view utf8);
std::string ansiToUtf8(std::string_view ansi);

// The logic writes line breaks as CR LF; a bare LF becomes CR LF too, so edit
// controls show every break.
std::wstring withCrLf(std::wstring_view text);

}  // namespace pravelo::platform::win32
