#include "platform/libreoffice/uno/lo_application.h"

#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/container/XNameReplace.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/util/XChangesBatch.hpp>
#include <cstdlib>

#include "platform/libreoffice/uno/macro_runner.h"
#include "platform/libreoffice/uno/office_session.h"
#include "platform/libreoffice/uno/visible_office.h"

namespace fs = std::filesystem;

namespace pravelo::platform::libreoffice {

using namespace uno;

void LoOptions::setCheckSpellingAsYouType(bool on) {
    set("/org.openoffice.Office.Linguistic/SpellChecking", "IsSpellAuto", on, spelling_);
}

void LoOptions::setCheckGrammarAsYouType(bool on) {
    set("/org.openoffice.Office.Linguistic/GrammarChecking", "IsAutoCheck", on, grammar_);
}

void LoOptions::set(const char* node, const char* name, bool on, bool& current) {
    // Once handed to the user, their own settings are not ours to change.
    if (!session_ || on == current) return;
    session_->guarded(
        std::string("Indstillingen ") + name + " kan ikke ændres", errors::OfficeFailure, [&] {
            auto provider = css::configuration::theDefaultProvider::get(session_->context());
            const auto args =
                sequence({Any(property("nodepath", rtl::OUString::createFromAscii(node)))});
            Reference<css::container::XNameReplace> access(
                provider->createInstanceWithArguments(
                    "com.sun.star.configuration.ConfigurationUpdateAccess", args),
                UNO_QUERY_THROW);
            access->replaceByName(rtl::OUString::createFromAscii(name), Any(on));
            Reference<css::util::XChangesBatch>(access, UNO_QUERY_THROW)->commitChanges();
        });
    current = on;
}

LoApplication::LoApplication(std::shared_ptr<Session> session)
    : session_(std::move(session)), options_(session_), documents_(session_) {}

LoApplication::~LoApplication() {
    if (session_) session_->end(true);
}

void LoApplication::setVisible(bool visible) {
    if (!visible || !session_) return;
    checkCanShow(session_->options().soffice);
    const std::string document = session_->lastOpened();
    const std::string soffice = session_->options().soffice.string();
    // Ended first: its lock on the document would make the user's office ask
    // whether to open a copy.
    session_->end(true);
    session_.reset();
    showToUser(soffice, document);
}

// A headless office draws nothing, so there is no screen to stop updating.
// Locking the controllers instead would hold back Writer's layout, which
// macros that move the view cursor by lines or pages depend on.
void LoApplication::setScreenUpdating(bool) {}

void LoApplication::run(const std::string& macroName) {
    if (!session_) {
        throw Error(errors::OfficeEnded,
                    "Makroen \"" + macroName + "\" kan ikke køres: kontorpakken er lukket");
    }
    runMacro(*session_, macroName);
}

std::shared_ptr<OfficeDocument> LoApplication::activeDocument() {
    if (!session_) throw Error(errors::OfficeEnded, "Kontorpakken er lukket");
    auto current = session_->guarded("Det aktive dokument kan ikke findes", errors::OfficeFailure,
                                     [&] { return session_->desktop()->getCurrentComponent(); });
    if (!current.is()) throw Error(errors::NoActiveDocument, "Der er intet aktivt dokument");
    return std::make_shared<LoDocument>(session_, current);
}

void LoApplication::quit() {
    if (session_) session_->end(true);
}

}  // namespace pravelo::platform::libreoffice
