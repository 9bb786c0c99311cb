#include "platform/libreoffice/uno/office_session.h"

#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <csignal>
#include <fstream>

#include "platform/libreoffice/leftovers.h"

namespace fs = std::filesystem;

namespace pravelo::platform::libreoffice {

using namespace uno;
using css::uno::Reference;
using css::uno::UNO_QUERY;

Session::Session(const LibreOfficeOptions& options, const std::string& productVersion,
                 const PrivateProfile* warmTemplate)
    : options_(options),
      programDir_(options.soffice.parent_path()),
      profile_(std::make_unique<PrivateProfile>(options.tempFolder, options.userProfile,
                                                productVersion, warmTemplate)),
      journalFolder_(profile_->root()),
      scratch_(profile_->root() / "tmp") {
    // A write into the bridge of an office that has just gone (a macro may end
    // it) would end the whole program; the failed write is reported instead.
    std::signal(SIGPIPE, SIG_IGN);
    const auto pipe = uniquePipeName();
    sockets_ = officeSockets(pipe, profile_->url());
    {
        // For the sweep at a later start, should the guard be killed as well.
        std::ofstream list(profile_->root() / "sockets");
        for (const auto& socket : sockets_) list << socket << '\n';
    }
    handler_ = new RefusingInteractionHandler;
    process_ = std::make_unique<OfficeProcess>(options.soffice.string(),
                                               headlessArgs(pipe, profile_->url()),
                                               OfficeLeftovers{profile_->root(), sockets_});
    try {
        auto connection = connect(*process_, pipe, programDir_, options.timeLimit);
        bridge_ = connection.bridge;
        context_ = connection.context;
        desktop_ = connection.desktop;
    } catch (...) {
        process_->killAndReap();
        removeSockets();
        throw;
    }
}

Session::Session(const LibreOfficeOptions& options, const InProcessOffice& office)
    : options_(options),
      programDir_(options.soffice.parent_path()),
      journalFolder_(office.folder),
      scratch_(office.folder / "tmp") {
    handler_ = new RefusingInteractionHandler;
    context_ = office.context;
    desktop_ = css::frame::Desktop::create(context_);
}

void Session::failed(const std::string& what, std::int32_t number, bool expired,
                     const std::string& message) {
    if (expired) timedOut(what);
    if (process_ && !process_->running()) {
        end(false);
        throw Error(errors::OfficeEnded, what + ": kontorpakken stoppede uventet");
    }
    throw Error(number, what + (message.empty() ? "" : ": " + message));
}

void Session::timedOut(const std::string& what) {
    end(false);
    throw Error(errors::TimedOut, what + " blev ikke færdig inden for " +
                                      limitText(options_.timeLimit) +
                                      "; kontorpakken blev stoppet");
}

void Session::noteOpening(const DocumentFile& document) {
    const fs::path lock = lockFileOf(document.target);
    std::error_code ec;
    if (fs::exists(lock, ec) && staleOwnLock(lock, options_.tempFolder)) fs::remove(lock, ec);
    if (!fs::exists(lock, ec)) {
        ownLocks_.push_back(lock);
        if (process_)
            process_->noteLockFile(lock.string());
        else
            journalLockFile(journalFolder_, lock);
    }
    opened_.insert_or_assign(document.name, document);
    opened_.insert_or_assign(document.target.string(), document);
    lastOpened_ = document.name;
}

const DocumentFile* Session::opened(const std::string& path) const {
    const auto it = opened_.find(path);
    return it == opened_.end() ? nullptr : &it->second;
}

void Session::rewrite(const DocumentFile& file, const fs::path& newContent) {
    rewriteInPlace(file, newContent, scratch_,
                   {.started =
                        [&](const std::string& copy, const std::string& target) {
                            journalRewrite(journalFolder_, copy, target);
                            if (process_) process_->noteRewrite(copy, target);
                        },
                    .finished =
                        [&] {
                            if (process_) process_->noteRewriteDone();
                            journalRewriteDone(journalFolder_);
                        }});
}

void Session::end(bool politely) {
    if (ended_) return;
    ended_ = true;
    if (!process_) {
        closeAll();
        return;
    }
    bool clean = false;
    if (politely && process_->running()) {
        try {
            Watchdog watchdog(QuitGrace, [this] { process_->killGroup(); });
            discardChanges();
            desktop_->terminate();
        } catch (...) {
            // The bridge closes under the call as the office goes away.
        }
        clean = process_->waitForExit(QuitGrace);
    }
    if (!clean) process_->killAndReap();
    disposeQuietly(bridge_);
    desktop_.clear();
    context_.clear();
    bridge_.clear();
    if (!clean) {
        std::error_code ignored;
        for (const auto& lock : ownLocks_) fs::remove(lock, ignored);
        removeSockets();
    }
}

void Session::removeSockets() {
    std::error_code ignored;
    for (const auto& socket : sockets_) fs::remove(socket, ignored);
}

// An office of this process stays for the next caller: only its documents go.
void Session::closeAll() {
    try {
        discardChanges();
        auto components = desktop_->getComponents()->createEnumeration();
        while (components->hasMoreElements()) {
            Reference<css::util::XCloseable> closeable(components->nextElement(), UNO_QUERY);
            if (closeable.is()) closeable->close(true);
        }
    } catch (...) {
        // The fork ends next, and its documents with it.
    }
}

// A document left changed after a failed step would otherwise make the office
// ask whether to save it.
void Session::discardChanges() {
    auto components = desktop_->getComponents()->createEnumeration();
    while (components->hasMoreElements()) {
        Reference<css::util::XModifiable> modifiable(components->nextElement(), UNO_QUERY);
        if (modifiable.is()) modifiable->setModified(false);
    }
}

}  // namespace pravelo::platform::libreoffice
