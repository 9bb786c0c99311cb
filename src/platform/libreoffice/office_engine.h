#pragma once

#include <memory>
#include <string>

#include "platform/libreoffice/fork/fork_launcher.h"
#include "platform/libreoffice/uno/libreoffice_launcher.h"
#include "platform/office_application.h"

namespace pravelo::platform::libreoffice {

// The office launcher of the program: forks of a warm office host, or the
// UNO launcher when the host cannot start, or when PRAVELO_OFFICE_ENGINE=uno
// asks for it.
class OfficeEngine : public OfficeLauncher {
  public:
    // choice: "uno" for the UNO launcher; anything else for the fork engine.
    explicit OfficeEngine(LibreOfficeOptions options = LibreOfficeOptions::defaults(),
                          const std::string& choice = fromEnvironment());

    std::unique_ptr<OfficeApplication> startNew() override;
    std::string checkMacro(const std::string& macroName) override;

    // Whether its forks may run side by side, each on a profile view of its
    // own: then one host can serve several workers.
    bool forksSideBySide() const;
    // "fork" or "uno": the launcher in use now.
    std::string current() const { return fork_ ? "fork" : "uno"; }
    static std::string fromEnvironment();

  private:
    OfficeLauncher& pick();

    LibreOfficeLauncher uno_;
    std::unique_ptr<ForkLauncher> fork_;
};

}  // namespace pravelo::platform::libreoffice
