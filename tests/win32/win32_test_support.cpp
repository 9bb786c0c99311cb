#include "win32_test_support.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/win32/text_convert.h"
#include "word_stand_in/stand_in_word.h"

namespace pravelo::platform::win32::testing {

namespace {

const std::wstring kWordClassKey =
    std::wstring(L"Software\\Classes\\CLSID\\") + pravelo::testing::word_stand_in::kClassId;
const std::wstring kWordServerKey = kWordClassKey + L"\\LocalServer32";
constexpr REGSAM kViews[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};

void removeTree(const std::wstring& folder) {
    WIN32_FIND_DATAW entry{};
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(path);
            } else {
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

TempFolder::TempFolder() {
    wchar_t base[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, base);
    // Wine reuses process ids, so a folder an earlier run left behind may have our name.
    static int counter = 0;
    for (;;) {
        const std::wstring folder = std::wstring(base) + L"pravelo-æøå-" +
                                    std::to_wstring(GetCurrentProcessId()) + L"-" +
                                    std::to_wstring(++counter);
        if (CreateDirectoryW(folder.c_str(), nullptr)) {
            path_ = fromWide(folder);
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            throw std::runtime_error("no temp folder: " + std::to_string(GetLastError()));
        }
    }
}

TempFolder::~TempFolder() {
    removeTree(toWide(path_));
}

std::string readBytes(const std::string& path) {
    std::ifstream in(std::filesystem::path(toWide(path)), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(std::filesystem::path(toWide(path)), std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string awaitFile(const std::string& path, int timeoutMs) {
    const std::wstring name = toWide(path);
    std::string last;
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        if (GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES) {
            const std::string now = readBytes(path);
            if (!now.empty() && now == last) return now;
            last = now;
        }
        Sleep(50);
    }
    return last;
}

std::string programFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text(path, length);
    return fromWide(text.substr(0, text.find_last_of(L'\\')));
}

std::string wordStandInPath() {
    return programFolder() + "\\" + pravelo::testing::word_stand_in::kExeName;
}

void registerWordStandIn(const std::string& exePath) {
    const std::wstring command = L"\"" + toWide(exePath) + L"\" /Automation";
    for (const REGSAM view : kViews) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kWordServerKey.c_str(), 0, nullptr, 0,
                            KEY_QUERY_VALUE | KEY_SET_VALUE | view, nullptr, &key,
                            nullptr) != ERROR_SUCCESS) {
            throw std::runtime_error("cannot register the word processor's stand-in");
        }
        // A real installation's server is not ours to replace.
        wchar_t old[1024] = {};
        DWORD size = sizeof(old) - sizeof(wchar_t);
        if (RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) ==
                ERROR_SUCCESS &&
            old[0] != 0 && !std::wstring(old).ends_with(L"WordStandIn.exe\" /Automation")) {
            RegCloseKey(key);
            throw std::runtime_error("the word processor is registered already");
        }
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
}

void unregisterWordStandIn() {
    for (const REGSAM view : kViews) {
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kWordServerKey.c_str(), view, 0);
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kWordClassKey.c_str(), view, 0);
    }
}

}  // namespace pravelo::platform::win32::testing
