#pragma once

#include <memory>
#include <string>

#include "platform/libreoffice/office_options.h"
#include "platform/office_application.h"

namespace pravelo::platform::libreoffice {
class GuardedFolder;
class PrivateProfile;
class Session;
}  // namespace pravelo::platform::libreoffice

namespace pravelo::platform::libreoffice {

// Starts hidden LibreOffice instances of our own, one private profile each.
class LibreOfficeLauncher : public OfficeLauncher {
  public:
    explicit LibreOfficeLauncher(LibreOfficeOptions options = LibreOfficeOptions::defaults());
    LibreOfficeLauncher(LibreOfficeLauncher&&) noexcept;
    ~LibreOfficeLauncher() override;
    std::unique_ptr<OfficeApplication> startNew() override;
    // Asks a hidden office of its own; an office that cannot start is no
    // reason to refuse (each document then reports it).
    std::string checkMacro(const std::string& macroName) override;

  private:
    std::shared_ptr<Session> startSession();
    void warmTemplate();

    LibreOfficeOptions options_;
    std::string productVersion_;
    // Office state of a first start (no macros, no settings of any run), copied
    // into each new private profile.
    std::unique_ptr<PrivateProfile> template_;
    std::unique_ptr<GuardedFolder> templateGuard_;
    bool warmTried_ = false;
};

}  // namespace pravelo::platform::libreoffice
