#pragma once

#include <string>
#include <vector>

namespace pravelo::platform::libreoffice {

// A Basic macro of the user's own libraries, as the office lists it.
struct MacroRef {
    std::string library;
    std::string module;
    std::string name;

    std::string qualified() const { return library + "." + module + "." + name; }
    bool operator==(const MacroRef&) const = default;
};

// A name as the user types it: "Name", "Module.Name" or "Library.Module.Name".
// Empty parts are wildcards.
struct MacroName {
    std::string library;
    std::string module;
    std::string name;
};

// True for a Basic identifier: a letter or '_' first, then letters, digits or
// '_'; non-ASCII letters are allowed (UTF-8).
bool isBasicIdentifier(const std::string& text);

// Throws Error when the text is not one to three identifiers joined by dots;
// the description names the text.
MacroName parseMacroName(const std::string& text);

// Picks the one macro the name means, looking in the Standard library first.
// Basic names ignore case. Throws Error naming the macro when none or more than
// one fits.
MacroRef resolveMacro(const MacroName& wanted, const std::string& typed,
                      const std::vector<MacroRef>& available);

}  // namespace pravelo::platform::libreoffice
