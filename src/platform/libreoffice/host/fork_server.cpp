#include "platform/libreoffice/host/fork_server.h"

#include <map>
#include <memory>

#include "platform/libreoffice/fork/host_protocol.h"
#include "platform/libreoffice/uno/lo_application.h"
#include "platform/libreoffice/uno/macro_runner.h"
#include "platform/libreoffice/uno/office_session.h"

namespace pravelo::platform::libreoffice {

namespace css = com::sun::star;

namespace {

class Server {
  public:
    Server(const LibreOfficeOptions& options, const InProcessOffice& office)
        : session_(std::make_shared<Session>(options, office)), app_(session_) {}

    // The answer to one request; false once the office is done.
    bool answer(const std::vector<std::string>& request, std::vector<std::string>& reply) {
        const std::string& verb = request.at(0);
        const auto arg = [&](std::size_t i) -> const std::string& { return request.at(i); };
        if (verb == "quit") {
            app_.quit();
            reply = protocol::ok();
            return false;
        }
        if (verb == "screen") {
            app_.setScreenUpdating(arg(1) == "1");
        } else if (verb == "spelling") {
            app_.options().setCheckSpellingAsYouType(arg(1) == "1");
        } else if (verb == "grammar") {
            app_.options().setCheckGrammarAsYouType(arg(1) == "1");
        } else if (verb == "open") {
            reply = protocol::ok(keep(app_.documents().open(arg(1))));
            return true;
        } else if (verb == "run") {
            app_.run(arg(1));
        } else if (verb == "active") {
            reply = protocol::ok(keep(app_.activeDocument()));
            return true;
        } else if (verb == "close") {
            const auto document = documents_.find(arg(1));
            if (document == documents_.end())
                throw Error(errors::OfficeFailure, "Dokumentet er allerede lukket");
            const auto kept = document->second;
            documents_.erase(document);
            kept->close(std::stoi(arg(2)));
        } else if (verb == "check") {
            findMacro(*session_, arg(1));
        } else {
            throw Error(errors::OfficeFailure, "Ukendt forespørgsel til kontorpakken: " + verb);
        }
        reply = protocol::ok();
        return true;
    }

  private:
    std::string keep(std::shared_ptr<OfficeDocument> document) {
        const std::string id = std::to_string(++lastId_);
        documents_.emplace(id, std::move(document));
        return id;
    }

    std::shared_ptr<Session> session_;
    LoApplication app_;
    std::map<std::string, std::shared_ptr<OfficeDocument>> documents_;
    int lastId_ = 0;
};

}  // namespace

void serveFork(int socket, const LibreOfficeOptions& options,
               const css::uno::Reference<css::uno::XComponentContext>& context,
               const std::filesystem::path& folder) {
    std::unique_ptr<Server> server;
    try {
        server = std::make_unique<Server>(options, InProcessOffice{context, folder});
    } catch (const Error& e) {
        protocol::send(socket, protocol::failure(e.number(), e.description()));
        return;
    } catch (...) {
        protocol::send(
            socket, protocol::failure(errors::CannotStartOffice, "Kontorpakken kan ikke startes"));
        return;
    }
    protocol::send(socket, protocol::ok("ready"));
    while (true) {
        const auto request = protocol::receive(socket);
        // The program is gone: its documents are closed unsaved.
        if (!request || request->fields.empty() || request->fields[0].empty()) {
            server.reset();
            return;
        }
        std::vector<std::string> reply;
        bool more = true;
        try {
            more = server->answer(request->fields, reply);
        } catch (const Error& e) {
            reply = protocol::failure(e.number(), e.description());
        } catch (const std::exception& e) {
            reply = protocol::failure(errors::OfficeFailure,
                                      std::string("Kontorpakken fejlede: ") + e.what());
        } catch (...) {
            reply = protocol::failure(errors::OfficeFailure, "Kontorpakken fejlede");
        }
        if (!more) server.reset();
        if (!protocol::send(socket, reply) || !more) return;
    }
}

}  // namespace pravelo::platform::libreoffice
