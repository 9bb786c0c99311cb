#include "platform/win32/folder_listing.h"

#include <windows.h>

#include <algorithm>

#include "platform/error.h"
#include "platform/win32/system_error.h"
#include "platform/win32/text_convert.h"
#include "platform/win32/wildcard.h"

namespace pravelo::platform::win32 {

namespace {

template <typename Accept>
std::vector<std::wstring> list(const std::wstring& folder, Accept accept) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry{};
    const std::wstring search = folder + (folder.back() == L'\\' ? L"*" : L"\\*");
    HANDLE find = FindFirstFileExW(search.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                   nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND) return names;  // an empty root
        throw systemError(code, "Mappen kan ikke læses: " + fromWide(folder));
    }
    do {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L".." && accept(name, entry.dwFileAttributes)) {
            names.push_back(name);
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(),
                               -1, nullptr, nullptr, 0) == CSTR_LESS_THAN;
    });
    return names;
}

}  // namespace

std::wstring checkedFolder(const std::wstring& path) {
    if (path.empty()) throw Error(errnum::PathNotFound, "Stien blev ikke fundet: (tom sti)");
    wchar_t full[32768];
    const DWORD length = GetFullPathNameW(path.c_str(), 32768, full, nullptr);
    if (length == 0 || length >= 32768) {
        throw systemError(GetLastError(), "Stien blev ikke fundet: " + fromWide(path));
    }
    std::wstring folder(full, length);
    const bool root = folder.size() == 3 && folder[1] == L':';
    if (!root && folder.size() > 1 && folder.back() == L'\\') folder.pop_back();
    // A drive without a medium answers here with "not ready".
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = GetLastError();
        throw systemError(code == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : code,
                          "Stien blev ikke fundet: " + fromWide(folder));
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        throw Error(errnum::PathNotFound, "Stien blev ikke fundet: " + fromWide(folder));
    }
    list(folder, [](const std::wstring&, DWORD) { return false; });  // readable at all?
    return folder;
}

std::vector<std::wstring> listFiles(const std::wstring& folder, const std::wstring& patterns) {
    return list(folder, [&](const std::wstring& name, DWORD attributes) {
        constexpr DWORD excluded =
            FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        return (attributes & excluded) == 0 && matchesPattern(name, patterns);
    });
}

std::vector<std::wstring> listSubfolders(const std::wstring& folder) {
    return list(folder, [](const std::wstring&, DWORD attributes) {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_HIDDEN);
    });
}

}  // namespace pravelo::platform::win32
