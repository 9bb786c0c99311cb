#include "platform/libreoffice/fork/fork_application.h"

#include <unistd.h>

#include <cstdlib>

#include "platform/libreoffice/fork/host_protocol.h"
#include "platform/libreoffice/fork/office_host.h"
#include "platform/libreoffice/guard/office_process.h"
#include "platform/libreoffice/office_errors.h"
#include "platform/libreoffice/office_options.h"
#include "platform/libreoffice/uno/visible_office.h"

namespace pravelo::platform::libreoffice {
namespace {

Error alreadyEnded(const std::string& what) {
    return Error(errors::OfficeEnded, what + ": kontorpakken er allerede lukket");
}

}  // namespace

ForkLink::ForkLink(OfficeHost& host, pid_t pid, int socket, std::chrono::milliseconds limit,
                   std::string soffice)
    : host_(host), pid_(pid), socket_(socket), limit_(limit), soffice_(std::move(soffice)) {
    // The fork says when its office is ready, or why it is not.
    try {
        call("Kontorpakken kan ikke startes", {});
    } catch (...) {
        end(false);
        throw;
    }
}

std::string ForkLink::call(const std::string& what, const std::vector<std::string>& request) {
    if (socket_ < 0) throw alreadyEnded(what);
    std::optional<protocol::Received> answer;
    bool expired = false;
    {
        Watchdog watchdog(limit_, [this] { host_.kill(pid_); });
        if (request.empty() || protocol::send(socket_, request))
            answer = protocol::receive(socket_);
        expired = watchdog.expired();
    }
    if (!answer || answer->fields.empty()) lost(what, expired);
    if (answer->descriptor >= 0) ::close(answer->descriptor);
    const auto& fields = answer->fields;
    if (fields[0] == "ok") return fields.size() > 1 ? fields[1] : std::string();
    if (fields[0] == "err" && fields.size() > 2)
        throw Error(std::atoi(fields[1].c_str()), fields[2]);
    throw Error(errors::OfficeFailure, what + ": kontorpakken svarede uforståeligt");
}

void ForkLink::lost(const std::string& what, bool expired) {
    end(false);
    if (expired) {
        throw Error(errors::TimedOut, what + " blev ikke færdig inden for " + limitText(limit_) +
                                          "; kontorpakken blev stoppet");
    }
    throw Error(errors::OfficeEnded, what + ": kontorpakken stoppede uventet");
}

void ForkLink::end(bool politely) {
    if (socket_ < 0) return;
    bool quit = false;
    if (politely) {
        Watchdog watchdog(QuitGrace, [this] { host_.kill(pid_); });
        if (protocol::send(socket_, {"quit"})) {
            const auto answer = protocol::receive(socket_);
            quit = answer && !answer->fields.empty() && answer->fields[0] == "ok";
        }
    }
    // A fork that quit ends by itself, and its end tells the host it was clean.
    if (!quit) host_.kill(pid_);
    ::close(socket_);
    socket_ = -1;
    host_.waitGone(pid_);
}

void ForkDocument::close(int saveChanges) {
    link_->call("Dokumentet kan ikke gemmes og lukkes",
                {"close", id_, std::to_string(saveChanges)});
}

void ForkOptions::setCheckSpellingAsYouType(bool on) {
    if (!link_) return;
    link_->call("Indstillingen IsSpellAuto kan ikke ændres", {"spelling", on ? "1" : "0"});
}

void ForkOptions::setCheckGrammarAsYouType(bool on) {
    if (!link_) return;
    link_->call("Indstillingen IsAutoCheck kan ikke ændres", {"grammar", on ? "1" : "0"});
}

std::shared_ptr<OfficeDocument> ForkDocuments::open(const std::string& fileName) {
    const std::string what = "Dokumentet " + fileName + " kan ikke åbnes";
    if (!link_) {
        throw Error(errors::OfficeEnded,
                    "Dokumentet " + fileName + " kan ikke åbnes: kontorpakken er lukket");
    }
    const std::string id = link_->call(what, {"open", fileName});
    lastOpened_ = fileName;
    return std::make_shared<ForkDocument>(link_, id);
}

ForkApplication::ForkApplication(std::shared_ptr<ForkLink> link)
    : link_(std::move(link)), options_(link_), documents_(link_) {}

ForkApplication::~ForkApplication() {
    if (link_) link_->end(true);
}

void ForkApplication::setVisible(bool visible) {
    if (!visible || !link_) return;
    checkCanShow(link_->soffice());
    // Ended first: its lock on the document would make the user's office ask
    // whether to open a copy.
    link_->end(true);
    const std::string soffice = link_->soffice();
    link_.reset();
    showToUser(soffice, documents_.lastOpened_);
}

void ForkApplication::setScreenUpdating(bool) {
    // A headless office draws nothing: see LoApplication.
}

void ForkApplication::run(const std::string& macroName) {
    if (!link_) {
        throw Error(errors::OfficeEnded,
                    "Makroen \"" + macroName + "\" kan ikke køres: kontorpakken er lukket");
    }
    link_->call("Makroen \"" + macroName + "\" kan ikke køres", {"run", macroName});
}

std::shared_ptr<OfficeDocument> ForkApplication::activeDocument() {
    if (!link_) throw Error(errors::OfficeEnded, "Kontorpakken er lukket");
    return std::make_shared<ForkDocument>(
        link_, link_->call("Det aktive dokument kan ikke findes", {"active"}));
}

void ForkApplication::quit() {
    if (link_) link_->end(true);
}

}  // namespace pravelo::platform::libreoffice
