#pragma once

#include <string>

namespace pravelo::platform::libreoffice {

class Session;

// Throws Error when no single macro of the user's answers to the name.
void findMacro(Session& session, const std::string& typedName);

// Runs the macro the user named on the office's current document and returns
// when it has ended. A Basic runtime error becomes an Error with Basic's own
// number and text. The user's libraries are only read: the macro is called
// from a throw-away library of the private profile.
void runMacro(Session& session, const std::string& typedName);

}  // namespace pravelo::platform::libreoffice
