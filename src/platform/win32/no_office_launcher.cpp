#include "platform/win32/no_office_launcher.h"

#include "platform/error.h"

namespace pravelo::platform::win32 {

std::string NoOfficeLauncher::reason() {
    return "Intet tekstbehandlingsprogram kan startes: denne udgave af Pravelo styrer endnu "
           "ikke Word";
}

std::unique_ptr<OfficeApplication> NoOfficeLauncher::startNew() {
    throw Error(kCannotCreate, reason());
}

}  // namespace pravelo::platform::win32
