#include "platform/win32/win32_machine.h"

#include <windows.h>
// After windows.h, which it needs.
#include <knownfolders.h>
#include <shlobj.h>

#include <vector>

#include "platform/win32/system_error.h"
#include "platform/win32/text_convert.h"

namespace pravelo::platform::win32 {

namespace {

SYSTEMTIME toSystemTime(const std::tm& time) {
    SYSTEMTIME out{};
    out.wYear = static_cast<WORD>(time.tm_year + 1900);
    out.wMonth = static_cast<WORD>(time.tm_mon + 1);
    out.wDayOfWeek = static_cast<WORD>(time.tm_wday);
    out.wDay = static_cast<WORD>(time.tm_mday);
    out.wHour = static_cast<WORD>(time.tm_hour);
    out.wMinute = static_cast<WORD>(time.tm_min);
    out.wSecond = static_cast<WORD>(time.tm_sec);
    return out;
}

std::string dateText(const std::tm& time) {
    const SYSTEMTIME when = toSystemTime(time);
    wchar_t buffer[128];
    const int length = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &when, nullptr,
                                       buffer, 128, nullptr);
    return length > 0 ? fromWide(std::wstring_view(buffer, static_cast<std::size_t>(length - 1)))
                      : std::string();
}

// The user's time format is the long one; the short one drops the seconds.
std::string timeText(const std::tm& time) {
    const SYSTEMTIME when = toSystemTime(time);
    wchar_t buffer[128];
    const int length = GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &when, nullptr, buffer, 128);
    return length > 0 ? fromWide(std::wstring_view(buffer, static_cast<std::size_t>(length - 1)))
                      : std::string();
}

std::string folderOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return fromWide(path);
    // "C:\" keeps its separator; any other folder loses it.
    if (slash == 2 && path[1] == L':') return fromWide(path.substr(0, 3));
    return fromWide(path.substr(0, slash));
}

}  // namespace

Win32Machine::Clock Win32Machine::systemClock() {
    return [] {
        SYSTEMTIME now{};
        GetLocalTime(&now);
        std::tm out{};
        out.tm_year = now.wYear - 1900;
        out.tm_mon = now.wMonth - 1;
        out.tm_mday = now.wDay;
        out.tm_wday = now.wDayOfWeek;
        out.tm_hour = now.wHour;
        out.tm_min = now.wMinute;
        out.tm_sec = now.wSecond;
        return out;
    };
}

std::string Win32Machine::executableFolder() const {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) throw systemError(GetLastError(), "Programmets mappe kan ikke findes");
        if (length < buffer.size()) return folderOf(std::wstring(buffer.data(), length));
        buffer.resize(buffer.size() * 2);
    }
}

std::string Win32Machine::userSettingsFolder() const {
    PWSTR path = nullptr;
    const HRESULT result = SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &path);
    std::string folder;
    if (SUCCEEDED(result)) folder = fromWide(path);
    CoTaskMemFree(path);
    if (folder.empty()) {
        throw systemError(static_cast<DWORD>(result),
                          "Brugerens programdata-mappe kan ikke findes");
    }
    return folder;
}

std::string Win32Machine::workingFolder() const {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    std::vector<wchar_t> buffer(needed + 1);
    const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0 || length >= buffer.size()) {
        throw systemError(GetLastError(), "Den aktuelle mappe kan ikke læses");
    }
    return fromWide(std::wstring_view(buffer.data(), length));
}

std::string Win32Machine::shortDate() const {
    return dateText(clock_());
}

std::string Win32Machine::longTime() const {
    return timeText(clock_());
}

std::string Win32Machine::defaultDateTime() const {
    // One reading for both halves, so date and time belong to the same instant.
    const std::tm now = clock_();
    if (now.tm_hour == 0 && now.tm_min == 0 && now.tm_sec == 0) return dateText(now);
    return dateText(now) + " " + timeText(now);
}

std::string Win32Machine::fileDateTime() const {
    const std::tm now = clock_();
    return dateText(now) + ", " + timeText(now);
}

}  // namespace pravelo::platform::win32
