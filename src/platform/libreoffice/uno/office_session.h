#pragma once

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <exception>
#include <filesystem>
#include <map>
#include <memory>
#include <rtl/ref.hxx>
#include <string>
#include <vector>

#include "platform/libreoffice/files/document_file.h"
#include "platform/libreoffice/guard/office_process.h"
#include "platform/libreoffice/office_errors.h"
#include "platform/libreoffice/office_options.h"
#include "platform/libreoffice/private_profile.h"
#include "platform/libreoffice/uno/interaction_handler.h"
#include "platform/libreoffice/uno/uno_support.h"

namespace pravelo::platform::libreoffice {

// The office this process is: a fork of the office host. Its own folder
// takes the save copies, the rewrite journal and the list of its lock files,
// which the host reads should the fork end before it is done.
struct InProcessOffice {
    com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext> context;
    std::filesystem::path folder;
};

// One hidden office with its private profile, connected. Shared by the
// application and the documents handed out, which may outlive it.
class Session {
  public:
    // Throws Error when the office cannot be started or does not answer.
    Session(const LibreOfficeOptions& options, const std::string& productVersion,
            const PrivateProfile* warmTemplate);
    // The office of this very process; the host keeps the time limit.
    Session(const LibreOfficeOptions& options, const InProcessOffice& office);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session() { end(false); }

    // Runs one office call under the time limit and turns every way it can fail
    // into an Error whose description begins with what was being done.
    template <typename F>
    auto guarded(const std::string& what, std::int32_t number, F&& call) {
        if (ended_) throw Error(errors::OfficeEnded, what + ": kontorpakken er allerede lukket");
        std::unique_ptr<Watchdog> watchdog;
        if (process_)
            watchdog =
                std::make_unique<Watchdog>(options_.timeLimit, [this] { process_->killGroup(); });
        const auto expired = [&] { return watchdog && watchdog->expired(); };
        try {
            return call();
        } catch (const Error&) {
            if (expired()) timedOut(what);
            throw;
        } catch (const com::sun::star::uno::Exception& e) {
            failed(what, number, expired(), uno::officeMessage(e.Message));
        } catch (const std::exception&) {
            failed(what, number, expired(), {});
        }
    }

    com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext> context() const {
        return context_;
    }
    com::sun::star::uno::Reference<com::sun::star::frame::XDesktop2> desktop() const {
        return desktop_;
    }
    RefusingInteractionHandler& handler() { return *handler_; }
    com::sun::star::uno::Reference<com::sun::star::task::XInteractionHandler> handlerRef() const {
        return handler_.get();
    }

    // The document about to be opened: its lock file is the office's own
    // unless one was there before (a stale one of ours is removed first).
    void noteOpening(const DocumentFile& document);
    // The file a document name was opened as, if it was opened here.
    const DocumentFile* opened(const std::string& path) const;
    const std::string& lastOpened() const { return lastOpened_; }

    // Writes new content into a document, under the guard's eye.
    void rewrite(const DocumentFile& file, const std::filesystem::path& newContent);
    // A folder for files of ours, removed with the office.
    const std::filesystem::path& scratch() const { return scratch_; }

    // Ends the office: politely first when asked to, then by force.
    void end(bool politely);
    bool ended() const { return ended_; }

    const LibreOfficeOptions& options() const { return options_; }
    const std::filesystem::path& programDir() const { return programDir_; }

  private:
    [[noreturn]] void timedOut(const std::string& what);
    [[noreturn]] void failed(const std::string& what, std::int32_t number, bool expired,
                             const std::string& message);
    void removeSockets();
    void discardChanges();
    void closeAll();

    LibreOfficeOptions options_;
    std::filesystem::path programDir_;
    std::unique_ptr<PrivateProfile> profile_;
    // Where the rewrite journal (and in a fork the list of lock files) is kept.
    std::filesystem::path journalFolder_;
    std::filesystem::path scratch_;
    std::vector<std::string> sockets_;
    std::unique_ptr<OfficeProcess> process_;
    rtl::Reference<RefusingInteractionHandler> handler_;
    com::sun::star::uno::Reference<com::sun::star::lang::XComponent> bridge_;
    com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext> context_;
    com::sun::star::uno::Reference<com::sun::star::frame::XDesktop2> desktop_;
    std::vector<std::filesystem::path> ownLocks_;
    std::map<std::string, DocumentFile> opened_;
    std::string lastOpened_;
    bool ended_ = false;
};

}  // namespace pravelo::platform::libreoffice
