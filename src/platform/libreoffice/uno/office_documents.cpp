#include "platform/libreoffice/uno/office_documents.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XModifiable.hpp>

#include "platform/libreoffice/uno/document_saver.h"
#include "platform/libreoffice/uno/office_session.h"
#include "platform/posix/system_error.h"

namespace fs = std::filesystem;

namespace pravelo::platform::libreoffice {

using namespace uno;

namespace {

void closeQuietly(const Reference<css::lang::XComponent>& component) {
    try {
        Reference<css::util::XModifiable> modifiable(component, UNO_QUERY);
        if (modifiable.is()) modifiable->setModified(false);
        Reference<css::util::XCloseable> closeable(component, UNO_QUERY);
        if (closeable.is()) closeable->close(true);
    } catch (...) {
        // The office ends after a failure anyway, and takes the document with it.
    }
}

}  // namespace

void LoDocument::close(int saveChanges) {
    session_->guarded("Dokumentet kan ikke gemmes og lukkes", errors::CannotSave, [&] {
        Reference<css::frame::XModel> model(component_, UNO_QUERY);
        const std::string name = model.is() && !model->getURL().isEmpty()
                                     ? systemPath(model->getURL())
                                     : "det aktive dokument";
        if (saveChanges != DoNotSaveChanges) {
            Reference<css::frame::XStorable> storable(component_, UNO_QUERY);
            if (!storable.is() || !storable->hasLocation()) {
                throw Error(errors::CannotSave,
                            "Dokumentet " + name + " kan ikke gemmes: det har ingen fil");
            }
            saveDocument(*session_, storable, name);
        }
        closeQuietly(component_);
    });
    component_.clear();
}

std::shared_ptr<OfficeDocument> LoDocuments::open(const std::string& fileName) {
    if (!session_) {
        throw Error(errors::OfficeEnded,
                    "Dokumentet " + fileName + " kan ikke åbnes: kontorpakken er lukket");
    }
    auto& session = *session_;
    const DocumentFile file = identifyDocument(fileName);
    // The office would take it for a new document and then have none to show.
    std::error_code sizeError;
    if (fs::file_size(file.target, sizeError) == 0 && !sizeError) {
        throw Error(errors::CannotOpen,
                    "Dokumentet " + fileName + " er tomt (0 byte), så det er ikke ændret");
    }
    // Said before the office opens it, which would only report that it cannot
    // read it, and before any macro runs: nothing is changed.
    const int writable = ::open(file.target.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (writable < 0)
        throw posix::systemError(errno, "Dokumentet " + fileName + " kan ikke gemmes");
    ::close(writable);
    session.noteOpening(file);
    session.handler().clear();
    const std::string what = "Dokumentet " + fileName + " kan ikke åbnes";
    const auto refused = [&](const std::string& fallback) {
        const auto reason = session.handler().last();
        return Error(errors::CannotOpen, what + ": " + (reason.empty() ? fallback : reason));
    };
    auto component = session.guarded(what, errors::CannotOpen, [&] {
        const auto args = sequence({
            // Visible to the office (a headless one draws nothing), so the
            // document becomes the current one and a macro's ThisComponent.
            property("Hidden", false),
            property("ReadOnly", false),
            property("AsTemplate", false),
            property("MacroExecutionMode", css::document::MacroExecMode::NEVER_EXECUTE),
            property("UpdateDocMode", css::document::UpdateDocMode::NO_UPDATE),
            property("InteractionHandler", session.handlerRef()),
        });
        try {
            const auto path = fs::absolute(fileName).string();
            return session.desktop()->loadComponentFromURL(fileUrl(path), "_blank", 0, args);
        } catch (const css::uno::Exception&) {
            throw refused("kontorpakken kan ikke læse det som et dokument");
        }
    });
    if (!component.is()) throw refused("kontorpakken kan ikke læse det som et dokument");
    // Refused before the macro runs, so the file stays exactly as it is.
    session.guarded(what, errors::CannotOpen, [&] {
        try {
            checkFaithfulFormat(Reference<css::frame::XStorable>(component, UNO_QUERY_THROW),
                                fileName);
        } catch (const Error&) {
            closeQuietly(component);
            throw;
        }
    });
    return std::make_shared<LoDocument>(session_, component);
}

}  // namespace pravelo::platform::libreoffice
