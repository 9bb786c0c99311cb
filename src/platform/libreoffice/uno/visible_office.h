#pragma once

#include <filesystem>
#include <string>

namespace pravelo::platform::libreoffice {

// Throws Error when the user's office cannot be shown here: no display, or an
// office installed without its windows.
void checkCanShow(const std::filesystem::path& soffice);

// Opens the document (when there is one) in an office of the user's, on the
// user's own profile, not waited for.
void showToUser(const std::filesystem::path& soffice, const std::string& document);

}  // namespace pravelo::platform::libreoffice
