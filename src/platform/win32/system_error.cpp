#include "platform/win32/system_error.h"

#include <windows.h>

#include "platform/win32/text_convert.h"

namespace pravelo::platform::win32 {

std::string systemText(std::uint32_t code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer != nullptr ? buffer : L"", length);
    if (buffer != nullptr) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' ||
                             text.back() == L'.')) {
        text.pop_back();
    }
    return fromWide(text);
}

std::string danishReason(std::uint32_t code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
            return "Filen findes ikke";
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
            return "Stien findes ikke";
        case ERROR_ACCESS_DENIED:
            return "Adgang nægtet";
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return "Filen er i brug af et andet program";
        case ERROR_NOT_READY:
            return "Enheden er ikke klar";
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return "Disken er fuld";
        case ERROR_WRITE_PROTECT:
            return "Disken er skrivebeskyttet";
        case ERROR_BAD_EXE_FORMAT:
            return "Ikke et program, Windows kan køre";
        default:
            break;
    }
    const std::string text = systemText(code);
    return text.empty() ? "Windows-fejl " + std::to_string(code) : text;
}

std::int32_t errnumFor(std::uint32_t code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
            return errnum::FileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
            return errnum::PathNotFound;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
            return errnum::PermissionDenied;
        case ERROR_NOT_READY:
            return errnum::DeviceUnavailable;
        default:
            return errnum::FileAccess;
    }
}

Error systemError(std::uint32_t code, const std::string& what) {
    return Error(errnumFor(code), what + ": " + danishReason(code));
}

}  // namespace pravelo::platform::win32
