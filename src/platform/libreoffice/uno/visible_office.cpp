#include "platform/libreoffice/uno/visible_office.h"

#include <cstdlib>
#include <vector>

#include "platform/libreoffice/guard/office_process.h"
#include "platform/libreoffice/office_errors.h"
#include "platform/posix/spawn.h"

namespace fs = std::filesystem;

namespace pravelo::platform::libreoffice {
namespace {

bool guiOfficeInstalled(const fs::path& programDir) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(programDir, ec)) {
        const auto name = entry.path().filename().string();
        if (name.starts_with("libvclplug_") && name.ends_with(".so") &&
            name != "libvclplug_svplo.so") {
            return true;
        }
    }
    return false;
}

bool displayAvailable() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

}  // namespace

void checkCanShow(const fs::path& soffice) {
    const std::string what = "Dokumentet kan ikke vises";
    if (!displayAvailable()) {
        throw Error(errors::NoDisplay,
                    what + ": der er ingen skærm (hverken DISPLAY eller WAYLAND_DISPLAY er sat)");
    }
    if (!guiOfficeInstalled(soffice.parent_path())) {
        throw Error(errors::NoDisplay, what +
                                           ": LibreOffice er installeret uden sin grafiske "
                                           "brugerflade (installer libreoffice-writer)");
    }
}

void showToUser(const fs::path& soffice, const std::string& document) {
    std::vector<std::string> args;
    if (!document.empty()) args.push_back(document);
    posix::spawnProgram(soffice.string(), args,
                        {.environment = officeEnvironment(), .detached = true});
}

}  // namespace pravelo::platform::libreoffice
