#include "platform/libreoffice/office_options.h"

#include <cstdlib>

#include "platform/libreoffice/leftovers.h"
#include "platform/libreoffice/private_profile.h"

namespace fs = std::filesystem;

namespace pravelo::platform::libreoffice {

LibreOfficeOptions LibreOfficeOptions::defaults() {
    LibreOfficeOptions options;
    const char* home = std::getenv("HOME");
    options.userProfile = fs::path(home != nullptr ? home : "") / ".config/libreoffice/4/user";
    std::error_code ec;
    options.tempFolder = fs::temp_directory_path(ec);
    if (ec) options.tempFolder = "/tmp";
    return options;
}

void prepareStart(LibreOfficeOptions& options) {
    if (options.tempFolder.empty()) options.tempFolder = LibreOfficeOptions::defaults().tempFolder;
    if (options.swept) return;
    sweepLeftovers(options.tempFolder);
    options.swept = true;
}

std::string productVersionOf(const LibreOfficeOptions& options) {
    const std::string version = installedProductVersion(options.soffice.parent_path());
    return version.empty() ? "7.4" : version;
}

}  // namespace pravelo::platform::libreoffice
