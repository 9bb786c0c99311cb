#include "platform/win32/text_convert.h"

#include <windows.h>

namespace pravelo::platform::win32 {

namespace {

std::wstring decode(UINT codePage, std::string_view bytes) {
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, out.data(), length);
    return out;
}

std::string encode(UINT codePage, std::wstring_view wide) {
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    // UTF-8 takes no replacement character argument; ANSI code pages do.
    const char* replacement = codePage == CP_UTF8 ? nullptr : "?";
    const int length =
        WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, replacement, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), size, out.data(), length, replacement, nullptr);
    return out;
}

}  // namespace

std::wstring toWide(std::string_view utf8) {
    return decode(CP_UTF8, utf8);
}

std::string fromWide(std::wstring_view wide) {
    return encode(CP_UTF8, wide);
}

std::string utf8ToAnsi(std::string_view utf8) {
    return encode(CP_ACP, toWide(utf8));
}

std::string ansiToUtf8(std::string_view ansi) {
    return fromWide(decode(CP_ACP, ansi));
}

std::wstring withCrLf(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) out.push_back(L'\r');
        out.push_back(text[i]);
    }
    return out;
}

}  // namespace pravelo::platform::win32
