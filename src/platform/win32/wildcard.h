#pragma once

#include <string_view>

namespace pravelo::platform::win32 {

// A file name matches a pattern of * and ? without regard to case; several
// patterns may be joined with ";". Unlike the system's own search, "*.doc"
// does not take "x.docx" along through its short name.
bool matchesPattern(std::wstring_view name, std::wstring_view patterns);

}  // namespace pravelo::platform::win32
