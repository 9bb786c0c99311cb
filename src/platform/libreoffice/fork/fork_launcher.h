#pragma once

#include <memory>
#include <string>

#include "platform/libreoffice/office_options.h"
#include "platform/office_application.h"

namespace pravelo::platform::libreoffice {

class OfficeHost;

// Hidden offices as forks of one warm office host: each a fresh instance on
// its own view of the private profile, at the cost of a fork. The host starts
// with the first instance asked for and lives as long as this launcher.
class ForkLauncher : public OfficeLauncher {
  public:
    // view: "auto" (an overlay where the system allows it), "overlay", "userns"
    // or "copy".
    explicit ForkLauncher(LibreOfficeOptions options = LibreOfficeOptions::defaults(),
                          std::string view = "auto");
    ForkLauncher(ForkLauncher&&) noexcept;
    ~ForkLauncher() override;

    // Starts the host when it does not run. False when it cannot be started;
    // startFailure() then says why.
    bool ready();
    const std::string& startFailure() const { return failure_; }
    // The running host, if any.
    OfficeHost* host() const { return host_.get(); }

    std::unique_ptr<OfficeApplication> startNew() override;
    // Also where a batch begins: a host whose macros the user has changed
    // since is replaced.
    std::string checkMacro(const std::string& macroName) override;

  private:
    LibreOfficeOptions options_;
    std::string productVersion_;
    std::string view_;
    std::unique_ptr<OfficeHost> host_;
    std::string madeFrom_;  // the user's macros the host copied
    std::string failure_;
};

}  // namespace pravelo::platform::libreoffice
