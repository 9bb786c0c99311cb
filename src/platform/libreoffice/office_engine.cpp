#include "platform/libreoffice/office_engine.h"

#include <cstdlib>

#include "platform/libreoffice/fork/office_host.h"

namespace pravelo::platform::libreoffice {

namespace {

// Both launchers start from one sweep of what killed offices left.
const LibreOfficeOptions& prepared(LibreOfficeOptions& options) {
    prepareStart(options);
    return options;
}

}  // namespace

OfficeEngine::OfficeEngine(LibreOfficeOptions options, const std::string& choice)
    : uno_(prepared(options)) {
    if (choice != "uno") fork_ = std::make_unique<ForkLauncher>(std::move(options));
}

bool OfficeEngine::forksSideBySide() const {
    // The copy view puts one profile back before each fork, under all of them.
    return fork_ && fork_->host() != nullptr && fork_->host()->view() != "copy";
}

std::string OfficeEngine::fromEnvironment() {
    const char* value = std::getenv("PRAVELO_OFFICE_ENGINE");
    return value != nullptr ? value : "";
}

OfficeLauncher& OfficeEngine::pick() {
    if (fork_ && !fork_->ready()) fork_.reset();
    if (fork_) return *fork_;
    return uno_;
}

std::unique_ptr<OfficeApplication> OfficeEngine::startNew() {
    return pick().startNew();
}

std::string OfficeEngine::checkMacro(const std::string& macroName) {
    return pick().checkMacro(macroName);
}

}  // namespace pravelo::platform::libreoffice
