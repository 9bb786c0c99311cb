#pragma once

#include <chrono>
#include <filesystem>
#include <string>

namespace pravelo::platform::libreoffice {

// The least an office run can cost, as a yardstick: start a hidden office on
// the given (already seeded) profile, connect, load one document, store it,
// terminate. Throws Error.
void bareOfficeCycle(const std::filesystem::path& soffice, const std::filesystem::path& profile,
                     const std::string& document);

}  // namespace pravelo::platform::libreoffice
