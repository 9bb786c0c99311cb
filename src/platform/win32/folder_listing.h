#pragma once

#include <string>
#include <vector>

namespace pravelo::platform::win32 {

// The full form of a folder the lists can show, without a trailing "\"
// except for a drive's root. Throws Error with a Danish description when the
// folder is missing or cannot be read (a drive without a medium, say).
std::wstring checkedFolder(const std::wstring& path);

// Names of the ordinary files (not hidden, not system) that match the
// patterns, in name order, without regard to case.
std::vector<std::wstring> listFiles(const std::wstring& folder, const std::wstring& patterns);

// Names of the folder's subfolders that are not hidden, in name order.
std::vector<std::wstring> listSubfolders(const std::wstring& folder);

}  // namespace pravelo::platform::win32
