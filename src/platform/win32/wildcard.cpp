#include "platform/win32/wildcard.h"

#include <windows.h>

namespace pravelo::platform::win32 {

namespace {

wchar_t folded(wchar_t c) {
    return static_cast<wchar_t>(
        reinterpret_cast<UINT_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(c)))));
}

bool matchesOne(std::wstring_view name, std::wstring_view pattern) {
    std::size_t n = 0, p = 0, starP = std::wstring_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == L'?' || folded(pattern[p]) == folded(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == L'*') {
            starP = p++;
            starN = n;
        } else if (starP != std::wstring_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    // "*.*" names files without an extension too, as it always has.
    const std::wstring_view rest = pattern.substr(p);
    if (p > 0 && pattern[p - 1] == L'*' && (rest == L".*" || rest == L".")) return true;
    return p == pattern.size();
}

std::wstring_view trimmed(std::wstring_view text) {
    while (!text.empty() && text.front() == L' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == L' ') text.remove_suffix(1);
    return text;
}

}  // namespace

bool matchesPattern(std::wstring_view name, std::wstring_view patterns) {
    for (;;) {
        const std::size_t semicolon = patterns.find(L';');
        const std::wstring_view one = trimmed(patterns.substr(0, semicolon));
        if (!one.empty() && matchesOne(name, one)) return true;
        if (semicolon == std::wstring_view::npos) return false;
        patterns.remove_prefix(semicolon + 1);
    }
}

}  // namespace pravelo::platform::win32
