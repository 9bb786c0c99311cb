#include "platform/libreoffice/fork/fork_launcher.h"

#include "platform/libreoffice/fork/fork_application.h"
#include "platform/libreoffice/fork/office_host.h"
#include "platform/libreoffice/office_errors.h"
#include "platform/libreoffice/private_profile.h"

namespace pravelo::platform::libreoffice {

ForkLauncher::ForkLauncher(LibreOfficeOptions options, std::string view)
    : options_(std::move(options)),
      productVersion_(productVersionOf(options_)),
      view_(std::move(view)) {
    prepareStart(options_);
}

ForkLauncher::ForkLauncher(ForkLauncher&&) noexcept = default;
ForkLauncher::~ForkLauncher() = default;

bool ForkLauncher::ready() {
    if (host_ && host_->running()) return true;
    // A host that failed to start once is not tried again; one that ended
    // later (a crash) is.
    if (!failure_.empty()) return false;
    host_.reset();
    try {
        // Taken before the copy: a change made while it is copied shows next time.
        madeFrom_ = macroSourcesStamp(options_.userProfile);
        host_ = std::make_unique<OfficeHost>(options_, productVersion_, view_);
        return true;
    } catch (const Error& e) {
        failure_ = e.description();
        return false;
    }
}

std::unique_ptr<OfficeApplication> ForkLauncher::startNew() {
    if (!ready()) throw Error(errors::CannotStartOffice, failure_);
    const auto fork = host_->fork();
    auto link = std::make_shared<ForkLink>(*host_, fork.pid, fork.socket, options_.timeLimit,
                                           options_.soffice.string());
    return std::make_unique<ForkApplication>(std::move(link));
}

std::string ForkLauncher::checkMacro(const std::string& macroName) {
    // Every batch asks first. The host's office has read the macros it was
    // started with into memory, and every fork inherits them, so a changed
    // macro needs a new host.
    if (host_ && macroSourcesStamp(options_.userProfile) != madeFrom_) host_.reset();
    std::shared_ptr<ForkLink> link;
    try {
        if (!ready()) return {};
        const auto fork = host_->fork();
        link = std::make_shared<ForkLink>(*host_, fork.pid, fork.socket, options_.timeLimit,
                                          options_.soffice.string());
    } catch (const Error&) {
        // Each document then reports the office that cannot start.
        return {};
    }
    try {
        link->call("Makroen \"" + macroName + "\" kan ikke findes", {"check", macroName});
        return {};
    } catch (const Error& e) {
        if (e.number() != errors::MacroNotFound && e.number() != errors::InvalidMacroName)
            return {};
        return e.description();
    }
}

}  // namespace pravelo::platform::libreoffice
