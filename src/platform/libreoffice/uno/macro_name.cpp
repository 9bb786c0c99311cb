#include "platform/libreoffice/uno/macro_name.h"

#include <algorithm>
#include <cctype>

#include "platform/error.h"
#include "platform/libreoffice/office_errors.h"

namespace pravelo::platform::libreoffice {
namespace {

bool isAsciiLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Basic compares names without regard to case; non-ASCII letters compare exactly.
bool sameName(const std::string& a, const std::string& b) {
    return std::ranges::equal(
        a, b, [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

bool fits(const MacroName& wanted, const MacroRef& macro) {
    return sameName(wanted.name, macro.name) &&
           (wanted.module.empty() || sameName(wanted.module, macro.module)) &&
           (wanted.library.empty() || sameName(wanted.library, macro.library));
}

}  // namespace

bool isBasicIdentifier(const std::string& text) {
    if (text.empty()) return false;
    const auto first = static_cast<unsigned char>(text.front());
    if (!(isAsciiLetter(first) || first == '_' || first >= 0x80)) return false;
    return std::ranges::all_of(text, [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return isAsciiLetter(c) || (c >= '0' && c <= '9') || c == '_' || c >= 0x80;
    });
}

MacroName parseMacroName(const std::string& text) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (true) {
        const auto dot = text.find('.', start);
        parts.push_back(text.substr(start, dot - start));
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    const bool valid = parts.size() <= 3 && std::ranges::all_of(parts, isBasicIdentifier);
    if (!valid) {
        throw Error(errors::InvalidMacroName,
                    "\"" + text +
                        "\" er ikke et makronavn (skriv Navn, Modul.Navn eller "
                        "Bibliotek.Modul.Navn)");
    }
    MacroName result;
    result.name = parts.back();
    if (parts.size() >= 2) result.module = parts[parts.size() - 2];
    if (parts.size() == 3) result.library = parts[0];
    return result;
}

MacroRef resolveMacro(const MacroName& wanted, const std::string& typed,
                      const std::vector<MacroRef>& available) {
    std::vector<MacroRef> inStandard;
    std::vector<MacroRef> elsewhere;
    for (const auto& macro : available) {
        if (!fits(wanted, macro)) continue;
        (macro.library == "Standard" ? inStandard : elsewhere).push_back(macro);
    }
    const auto& found = inStandard.empty() ? elsewhere : inStandard;
    if (found.empty()) {
        throw Error(errors::MacroNotFound, "Makroen \"" + typed + "\" findes ikke i Mine makroer");
    }
    if (found.size() > 1) {
        std::string names;
        for (const auto& macro : found) names += (names.empty() ? "" : ", ") + macro.qualified();
        throw Error(errors::AmbiguousMacroName,
                    "Makronavnet \"" + typed + "\" passer på flere makroer: " + names);
    }
    return found.front();
}

}  // namespace pravelo::platform::libreoffice
