#include "platform/libreoffice/uno/libreoffice_launcher.h"

#include "platform/libreoffice/uno/lo_application.h"
#include "platform/libreoffice/uno/macro_runner.h"
#include "platform/libreoffice/uno/office_session.h"

namespace fs = std::filesystem;

namespace pravelo::platform::libreoffice {

using namespace uno;

LibreOfficeLauncher::LibreOfficeLauncher(LibreOfficeOptions options)
    : options_(std::move(options)), productVersion_(productVersionOf(options_)) {
    prepareStart(options_);
}

LibreOfficeLauncher::LibreOfficeLauncher(LibreOfficeLauncher&&) noexcept = default;
LibreOfficeLauncher::~LibreOfficeLauncher() = default;

std::shared_ptr<Session> LibreOfficeLauncher::startSession() {
    if (!fs::exists(options_.soffice)) {
        throw Error(
            errors::CannotStartOffice,
            "Kontorpakken kan ikke startes: " + options_.soffice.string() + " er ikke installeret");
    }
    warmTemplate();
    return std::make_shared<Session>(options_, productVersion_, template_.get());
}

std::unique_ptr<OfficeApplication> LibreOfficeLauncher::startNew() {
    return std::make_unique<LoApplication>(startSession());
}

std::string LibreOfficeLauncher::checkMacro(const std::string& macroName) {
    std::shared_ptr<Session> session;
    try {
        session = startSession();
    } catch (const Error&) {
        // Each document then reports the office that cannot start.
        return {};
    }
    try {
        findMacro(*session, macroName);
        session->end(true);
        return {};
    } catch (const Error& e) {
        session->end(true);
        if (e.number() != errors::MacroNotFound && e.number() != errors::InvalidMacroName)
            return {};
        return e.description();
    }
}

void LibreOfficeLauncher::warmTemplate() {
    if (warmTried_) return;
    warmTried_ = true;
    try {
        auto profile =
            std::make_unique<PrivateProfile>(options_.tempFolder, fs::path(), productVersion_);
        const auto pipe = uniquePipeName();
        OfficeProcess office(options_.soffice.string(), headlessArgs(pipe, profile->url()),
                             {.sockets = officeSockets(pipe, profile->url())});
        auto connection = connect(office, pipe, options_.soffice.parent_path(), options_.timeLimit);
        try {
            connection.desktop->terminate();
        } catch (...) {
        }
        disposeQuietly(connection.bridge);
        // Only a profile the office left in good order is worth copying.
        if (office.waitForExit(QuitGrace)) {
            templateGuard_ = std::make_unique<GuardedFolder>(profile->root());
            template_ = std::move(profile);
        }
    } catch (const Error&) {
        // Each instance then sets its profile up itself, only more slowly.
    }
}

}  // namespace pravelo::platform::libreoffice
