#include "platform/libreoffice/libreoffice_launcher.h"

#include <sys/stat.h>
#include <unistd.h>

#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/container/XNameReplace.hpp>
#include <com/sun/star/document/LockedDocumentRequest.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/io/IOException.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/script/XLibraryContainer.hpp>
#include <com/sun/star/script/browse/BrowseNodeTypes.hpp>
#include <com/sun/star/script/browse/XBrowseNode.hpp>
#include <com/sun/star/script/provider/ScriptFrameworkErrorException.hpp>
#include <com/sun/star/script/provider/XScript.hpp>
#include <com/sun/star/script/provider/XScriptProvider.hpp>
#include <com/sun/star/task/DocumentPasswordRequest.hpp>
#include <com/sun/star/task/DocumentPasswordRequest2.hpp>
#include <com/sun/star/task/ErrorCodeRequest.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>
#include <com/sun/star/task/XInteractionHandler.hpp>
#include <com/sun/star/task/XInteractionRequest.hpp>
#include <com/sun/star/util/XChangesBatch.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <cppuhelper/implbase1.hxx>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <rtl/ref.hxx>

#include "platform/libreoffice/macro_name.h"
#include "platform/libreoffice/office_errors.h"
#include "platform/libreoffice/private_profile.h"
#include "platform/libreoffice/uno_support.h"

namespace fs = std::filesystem;

namespace pravelo::platform::libreoffice {
namespace {

using namespace uno;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

constexpr auto QuitGrace = std::chrono::seconds(5);

// Refuses whatever the office would ask: no dialog can wait for an answer that
// never comes. Remembers what was asked, for the error description.
class RefusingInteractionHandler : public cppu::WeakImplHelper1<css::task::XInteractionHandler> {
  public:
    void SAL_CALL handle(const Reference<css::task::XInteractionRequest>& request) override {
        remember(request->getRequest());
        const auto continuations = request->getContinuations();
        for (const auto& continuation : continuations) {
            Reference<css::task::XInteractionAbort> abort(continuation, UNO_QUERY);
            if (abort.is()) {
                abort->select();
                return;
            }
        }
    }

    void clear() {
        std::lock_guard lock(mutex_);
        last_.clear();
    }

    std::string last() const {
        std::lock_guard lock(mutex_);
        return last_;
    }

  private:
    void remember(const Any& request) {
        std::string text;
        css::task::ErrorCodeRequest code;
        css::document::LockedDocumentRequest locked;
        css::uno::Exception exception;
        if (request.isExtractableTo(cppu::UnoType<css::task::DocumentPasswordRequest>::get()) ||
            request.isExtractableTo(cppu::UnoType<css::task::DocumentPasswordRequest2>::get())) {
            text = "the document is protected by a password";
        } else if (request >>= locked) {
            text = "the document is in use by " + toStd(locked.UserInfo);
        } else if (request >>= code) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "0x%X", static_cast<unsigned>(code.ErrCode));
            text = "the office reported error " + std::string(hex) +
                   (code.ErrCode == 0x20d ? " (general input/output error)" : "");
        } else if ((request >>= exception) && !exception.Message.isEmpty()) {
            text = toStd(exception.Message);
        } else {
            text = "the office asked " + toStd(request.getValueTypeName());
        }
        std::lock_guard lock(mutex_);
        if (last_.empty()) last_ = text;
    }

    mutable std::mutex mutex_;
    std::string last_;
};

bool guiOfficeInstalled(const fs::path& programDir) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(programDir, ec)) {
        const auto name = entry.path().filename().string();
        if (name.starts_with("libvclplug_") && name.ends_with(".so") &&
            name != "libvclplug_svplo.so") {
            return true;
        }
    }
    return false;
}

bool displayAvailable() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
}

std::string seconds(std::chrono::milliseconds limit) {
    const auto ms = limit.count();
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

// One hidden office with its private profile. Shared with the documents handed
// out, which may outlive the application object.
class Session {
  public:
    Session(const LibreOfficeOptions& options, const std::string& productVersion,
            const PrivateProfile* warmTemplate)
        : options_(options),
          programDir_(options.soffice.parent_path()),
          profile_(options.tempFolder, options.userProfile, productVersion, warmTemplate) {
        const auto pipe = uniquePipeName();
        sockets_ = officeSockets(pipe, profile_.url());
        handler_ = new RefusingInteractionHandler;
        process_ = std::make_unique<OfficeProcess>(options.soffice.string(),
                                                   headlessArgs(pipe, profile_.url()));
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

    ~Session() { end(false); }

    bool ended() const { return ended_; }

    // Runs one office call under the time limit and turns every way it can fail
    // into an Error naming what was being done.
    template <typename F>
    auto guarded(const std::string& what, std::int32_t number, F&& call) {
        if (ended_) throw Error(errors::OfficeEnded, what + ": the office has already ended");
        Watchdog watchdog(options_.timeLimit, [this] { process_->killGroup(); });
        try {
            return call();
        } catch (const Error&) {
            if (watchdog.expired()) timedOut(what);
            throw;
        } catch (const css::uno::Exception& e) {
            if (watchdog.expired()) timedOut(what);
            if (!process_->running()) {
                end(false);
                throw Error(errors::OfficeEnded, what + ": the office ended unexpectedly");
            }
            const auto message = officeMessage(e.Message);
            throw Error(number, what + (message.empty() ? "" : ": " + message));
        }
    }

    Reference<css::uno::XComponentContext> context() const { return context_; }
    Reference<css::frame::XDesktop2> desktop() const { return desktop_; }
    RefusingInteractionHandler& handler() { return *handler_; }
    Reference<css::task::XInteractionHandler> handlerRef() const { return handler_.get(); }

    // Lock files that are the office's own, removed should it have to be killed.
    void noteOpening(const std::string& path) {
        const fs::path p(path);
        const auto lock = p.parent_path() / (".~lock." + p.filename().string() + "#");
        if (!fs::exists(lock)) ownLocks_.push_back(path);
        lastOpened_ = path;
    }
    const std::string& lastOpened() const { return lastOpened_; }

    // Ends the office: politely first when asked to, then by force.
    void end(bool politely) {
        if (ended_) return;
        ended_ = true;
        bool clean = false;
        if (politely && process_->running()) {
            try {
                Watchdog watchdog(QuitGrace, [this] { process_->killGroup(); });
                discardChanges();
                desktop_->terminate();
            } catch (const css::uno::Exception&) {
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
            for (const auto& path : ownLocks_) removeLockFile(path);
            removeSockets();
        }
    }

    const LibreOfficeOptions& options() const { return options_; }
    const fs::path& programDir() const { return programDir_; }

  private:
    [[noreturn]] void timedOut(const std::string& what) {
        end(false);
        throw Error(errors::TimedOut, what + " did not finish within " +
                                          seconds(options_.timeLimit) + "; the office was stopped");
    }

    void removeSockets() {
        std::error_code ignored;
        for (const auto& socket : sockets_) fs::remove(socket, ignored);
    }

    // A document left changed after a failed step would otherwise make the
    // office ask whether to save it.
    void discardChanges() {
        auto components = desktop_->getComponents()->createEnumeration();
        while (components->hasMoreElements()) {
            Reference<css::util::XModifiable> modifiable(components->nextElement(), UNO_QUERY);
            if (modifiable.is()) modifiable->setModified(false);
        }
    }

    LibreOfficeOptions options_;
    fs::path programDir_;
    PrivateProfile profile_;
    std::unique_ptr<OfficeProcess> process_;
    rtl::Reference<RefusingInteractionHandler> handler_;
    Reference<css::lang::XComponent> bridge_;
    Reference<css::uno::XComponentContext> context_;
    Reference<css::frame::XDesktop2> desktop_;
    std::vector<std::string> ownLocks_;
    std::vector<std::string> sockets_;
    std::string lastOpened_;
    bool ended_ = false;
};

// Writes the document beside itself and renames it over the original, so a
// failure or a kill while saving leaves either the old or the new file whole.
void storeAtomically(const Reference<css::frame::XStorable>& storable, const std::string& path) {
    std::error_code ec;
    fs::path target = fs::canonical(path, ec);
    if (ec) target = path;

    Sequence<css::beans::PropertyValue> loaded =
        Reference<css::frame::XModel>(storable, UNO_QUERY_THROW)->getArgs();
    std::vector<css::beans::PropertyValue> args;
    for (const auto& p : loaded) {
        if (p.Name == "FilterName" || p.Name == "FilterOptions" || p.Name == "FilterData") {
            args.push_back(p);
        }
    }
    args.push_back(property("Overwrite", true));

    std::random_device random;
    const fs::path temporary = target.parent_path() / (".~pravelo." + target.filename().string() +
                                                       "." + std::to_string(random()) + ".tmp");
    struct RemoveOnFailure {
        const fs::path& file;
        bool keep = false;
        ~RemoveOnFailure() {
            std::error_code ignored;
            if (!keep) fs::remove(file, ignored);
        }
    } guard{temporary};

    storable->storeToURL(
        fileUrl(temporary.string()),
        Sequence<css::beans::PropertyValue>(args.data(), static_cast<sal_Int32>(args.size())));
    struct stat original {};
    if (::stat(target.c_str(), &original) == 0) {
        ::chmod(temporary.c_str(), original.st_mode & 07777);
        [[maybe_unused]] int ignored = ::chown(temporary.c_str(), original.st_uid, original.st_gid);
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        throw Error(errors::CannotSave,
                    "Cannot replace " + path + " with the saved document: " + std::strerror(errno));
    }
    guard.keep = true;
}

class LoDocument : public OfficeDocument {
  public:
    LoDocument(std::shared_ptr<Session> session, Reference<css::lang::XComponent> component)
        : session_(std::move(session)), component_(std::move(component)) {}

    void close(int saveChanges) override {
        const std::string name = describe();
        session_->guarded("Closing " + name, errors::CannotSave, [&] {
            Reference<css::util::XModifiable> modifiable(component_, UNO_QUERY);
            if (saveChanges != DoNotSaveChanges) {
                Reference<css::frame::XStorable> storable(component_, UNO_QUERY);
                if (!storable.is() || !storable->hasLocation()) {
                    throw Error(errors::CannotSave,
                                "Cannot save " + name + ": it has no file of its own");
                }
                if (storable->isReadonly()) {
                    throw Error(errors::CannotSave, "Cannot save " + name + ": it is read-only");
                }
                try {
                    storeAtomically(storable, systemPath(storable->getLocation()));
                } catch (const css::uno::Exception& e) {
                    throw Error(errors::CannotSave,
                                "Cannot save " + name + ": " + officeMessage(e.Message));
                }
            }
            if (modifiable.is()) modifiable->setModified(false);
            Reference<css::util::XCloseable> closeable(component_, UNO_QUERY);
            if (closeable.is()) {
                closeable->close(true);
            } else {
                component_->dispose();
            }
        });
        component_.clear();
    }

  private:
    std::string describe() const {
        Reference<css::frame::XModel> model(component_, UNO_QUERY);
        if (model.is() && !model->getURL().isEmpty()) return systemPath(model->getURL());
        return "the active document";
    }

    std::shared_ptr<Session> session_;
    Reference<css::lang::XComponent> component_;
};

class LoOptions : public OfficeOptions {
  public:
    explicit LoOptions(std::shared_ptr<Session>& session) : session_(session) {}

    // The private profile starts with both off; only a change costs a call.
    void setCheckSpellingAsYouType(bool on) override {
        set("/org.openoffice.Office.Linguistic/SpellChecking", "IsSpellAuto", on, spelling_);
    }
    void setCheckGrammarAsYouType(bool on) override {
        set("/org.openoffice.Office.Linguistic/GrammarChecking", "IsAutoCheck", on, grammar_);
    }

  private:
    void set(const char* node, const char* name, bool on, bool& current) {
        // Once handed to the user, their own settings are not ours to change.
        if (!session_ || on == current) return;
        session_->guarded(std::string("Changing ") + name, errors::OfficeFailure, [&] {
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

    std::shared_ptr<Session>& session_;
    bool spelling_ = false;
    bool grammar_ = false;
};

std::string loadFailure(const rtl::OUString& message) {
    const std::string text = officeMessage(message);
    return text.empty() ? "the office could not load it" : text;
}

class LoDocuments : public OfficeDocuments {
  public:
    explicit LoDocuments(std::shared_ptr<Session>& session) : session_(session) {}

    std::shared_ptr<OfficeDocument> open(const std::string& fileName) override {
        if (!session_)
            throw Error(errors::OfficeEnded,
                        "Cannot open " + fileName + ": the office has already ended");
        std::error_code ec;
        const fs::path path = fs::absolute(fileName, ec);
        if (ec || !fs::is_directory(path.parent_path())) {
            throw Error(errors::FolderNotFound, "Folder not found: " + fileName);
        }
        if (!fs::exists(path)) throw Error(errors::DocumentNotFound, "File not found: " + fileName);
        if (fs::is_directory(path)) {
            throw Error(errors::CannotOpen, "Cannot open " + fileName + ": it is a folder");
        }
        auto& session = *session_;
        session.noteOpening(path.string());
        session.handler().clear();
        auto component = session.guarded("Opening " + fileName, errors::CannotOpen, [&] {
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
                return session.desktop()->loadComponentFromURL(fileUrl(path.string()), "_blank", 0,
                                                               args);
            } catch (const css::lang::IllegalArgumentException& e) {
                const auto reason = session.handler().last();
                throw Error(errors::CannotOpen,
                            "Cannot open " + fileName + ": " +
                                (reason.empty() ? loadFailure(e.Message) : reason));
            } catch (const css::io::IOException& e) {
                const auto reason = session.handler().last();
                throw Error(errors::CannotOpen,
                            "Cannot open " + fileName + ": " +
                                (reason.empty() ? loadFailure(e.Message) : reason));
            }
        });
        if (!component.is()) {
            const auto reason = session.handler().last();
            throw Error(errors::CannotOpen,
                        "Cannot open " + fileName + ": " +
                            (reason.empty() ? "the office could not load it" : reason));
        }
        return std::make_shared<LoDocument>(session_, component);
    }

  private:
    std::shared_ptr<Session>& session_;
};

// The Basic script provider of the user's own libraries ("My Macros"). Asked
// directly: the general one first starts the providers of every script
// language, which costs more than the rest of the macro call.
Reference<css::script::provider::XScriptProvider> basicProvider(
    const Reference<css::uno::XComponentContext>& context) {
    return Reference<css::script::provider::XScriptProvider>(
        context->getServiceManager()->createInstanceWithArgumentsAndContext(
            "com.sun.star.script.provider.ScriptProviderForBasic",
            sequence({Any(rtl::OUString("user"))}), context),
        UNO_QUERY_THROW);
}

std::vector<MacroRef> userMacros(
    const Reference<css::script::provider::XScriptProvider>& provider) {
    namespace browse = css::script::browse;
    Reference<browse::XBrowseNode> root(provider, UNO_QUERY_THROW);
    std::vector<MacroRef> macros;
    for (const auto& library : root->getChildNodes()) {
        for (const auto& module : library->getChildNodes()) {
            for (const auto& macro : module->getChildNodes()) {
                if (macro->getType() != browse::BrowseNodeTypes::SCRIPT) continue;
                macros.push_back(
                    {toStd(library->getName()), toStd(module->getName()), toStd(macro->getName())});
            }
        }
    }
    return macros;
}

// Basic reports a runtime error in a dialog, not to its caller. The macro is
// therefore called from a module of our own, in the same library, that catches
// the error and returns it as "number: text".
std::string installWrapper(const Reference<css::uno::XComponentContext>& context,
                           const MacroRef& macro) {
    Reference<css::script::XLibraryContainer> libraries(
        context->getServiceManager()->createInstanceWithContext(
            "com.sun.star.script.ApplicationScriptLibraryContainer", context),
        UNO_QUERY_THROW);
    const auto library = toOU(macro.library);
    if (!libraries->isLibraryLoaded(library)) libraries->loadLibrary(library);
    Reference<css::container::XNameContainer> modules(libraries->getByName(library),
                                                      UNO_QUERY_THROW);
    std::string module = "PraveloRunner";
    for (int i = 2; modules->hasByName(toOU(module)); ++i)
        module = "PraveloRunner" + std::to_string(i);
    const std::string source =
        "Function PraveloRun() As String\n"
        "    On Error GoTo Failed\n"
        "    PraveloRun = \"\"\n"
        "    " +
        macro.module + "." + macro.name +
        "\n"
        "    Exit Function\n"
        "Failed:\n"
        "    PraveloRun = Err & \": \" & Error$\n"
        "End Function\n";
    modules->insertByName(toOU(module), Any(toOU(source)));
    return module;
}

bool basicIdeOpen(const Reference<css::frame::XDesktop2>& desktop) {
    auto components = desktop->getComponents()->createEnumeration();
    while (components->hasMoreElements()) {
        Reference<css::lang::XServiceInfo> info(components->nextElement(), UNO_QUERY);
        if (info.is() && info->getImplementationName() == "com.sun.star.comp.basic.BasicIDE") {
            return true;
        }
    }
    return false;
}

class LoApplication : public OfficeApplication {
  public:
    explicit LoApplication(std::shared_ptr<Session> session)
        : session_(std::move(session)), options_(session_), documents_(session_) {}

    ~LoApplication() override {
        if (session_) session_->end(true);
    }

    void setVisible(bool visible) override {
        if (!visible || !session_) return;
        if (!displayAvailable()) {
            throw Error(errors::NoDisplay,
                        "Cannot show the document: there is no display (DISPLAY and "
                        "WAYLAND_DISPLAY are not set)");
        }
        if (!guiOfficeInstalled(session_->programDir())) {
            throw Error(errors::NoDisplay,
                        "Cannot show the document: LibreOffice is installed without its "
                        "graphical interface (install libreoffice-writer)");
        }
        const std::string document = session_->lastOpened();
        const std::string soffice = session_->options().soffice.string();
        // Ended first: its lock on the document would make the user's office
        // ask whether to open a copy.
        session_->end(true);
        session_.reset();
        std::vector<std::string> args;
        if (!document.empty()) args.push_back(document);
        startDetached(soffice, args);
    }

    // A headless office draws nothing, so there is no screen to stop updating.
    // Locking the controllers instead would hold back Writer's layout, which
    // macros that move the view cursor by lines or pages depend on.
    void setScreenUpdating(bool) override {}

    OfficeOptions& options() override { return options_; }
    OfficeDocuments& documents() override { return documents_; }

    void run(const std::string& macroName) override {
        const MacroName wanted = parseMacroName(macroName);
        if (!session_)
            throw Error(errors::OfficeEnded,
                        "Cannot run macro \"" + macroName + "\": the office has already ended");
        auto& session = *session_;
        const auto what = "Macro \"" + macroName + "\"";
        const Any result = session.guarded(what, errors::MacroFailed, [&] {
            const auto context = session.context();
            const auto provider = basicProvider(context);
            const MacroRef macro = resolveMacro(wanted, macroName, userMacros(provider));
            if (!isBasicIdentifier(macro.library) || !isBasicIdentifier(macro.module)) {
                throw Error(errors::InvalidMacroName,
                            "Macro \"" + macro.qualified() + "\" cannot be called by name");
            }
            const auto module = installWrapper(context, macro);
            const auto uri = "vnd.sun.star.script:" + macro.library + "." + module +
                             ".PraveloRun?language=Basic&location=application";
            try {
                Sequence<sal_Int16> outIndex;
                Sequence<Any> out;
                return provider->getScript(toOU(uri))->invoke({}, outIndex, out);
            } catch (const css::script::provider::ScriptFrameworkErrorException& e) {
                throw Error(errors::MacroNotFound,
                            what + " cannot be run: " + officeMessage(e.Message));
            }
        });
        rtl::OUString failure;
        if (result >>= failure) {
            if (failure.isEmpty()) return;
            const std::string text = toStd(failure);
            const auto colon = text.find(": ");
            const int number = std::atoi(text.substr(0, colon).c_str());
            throw Error(number != 0 ? number : errors::MacroFailed,
                        what + " stopped with error " + text);
        }
        // No result at all: either the macro ended Basic with End, or its
        // library did not compile, which opens the Basic editor.
        if (session.guarded(what, errors::MacroFailed,
                            [&] { return basicIdeOpen(session.desktop()); })) {
            throw Error(errors::MacroFailed,
                        what + " could not run: its Basic library has an error");
        }
    }

    std::shared_ptr<OfficeDocument> activeDocument() override {
        if (!session_) throw Error(errors::OfficeEnded, "The office has already ended");
        auto current = session_->guarded("Finding the active document", errors::OfficeFailure, [&] {
            return session_->desktop()->getCurrentComponent();
        });
        if (!current.is()) throw Error(errors::NoActiveDocument, "There is no active document");
        return std::make_shared<LoDocument>(session_, current);
    }

    void quit() override {
        if (session_) session_->end(true);
    }

  private:
    std::shared_ptr<Session> session_;
    LoOptions options_;
    LoDocuments documents_;
};

}  // namespace

LibreOfficeOptions LibreOfficeOptions::defaults() {
    LibreOfficeOptions options;
    const char* home = std::getenv("HOME");
    options.userProfile = fs::path(home != nullptr ? home : "") / ".config/libreoffice/4/user";
    std::error_code ec;
    options.tempFolder = fs::temp_directory_path(ec);
    if (ec) options.tempFolder = "/tmp";
    return options;
}

LibreOfficeLauncher::LibreOfficeLauncher(LibreOfficeOptions options)
    : options_(std::move(options)),
      productVersion_(installedProductVersion(options_.soffice.parent_path())) {
    if (productVersion_.empty()) productVersion_ = "7.4";
    if (options_.tempFolder.empty())
        options_.tempFolder = LibreOfficeOptions::defaults().tempFolder;
}

std::unique_ptr<OfficeApplication> LibreOfficeLauncher::startNew() {
    if (!fs::exists(options_.soffice)) {
        throw Error(errors::CannotStartOffice,
                    "Cannot start the office: " + options_.soffice.string() + " is not installed");
    }
    warmTemplate();
    return std::make_unique<LoApplication>(
        std::make_shared<Session>(options_, productVersion_, template_.get()));
}

LibreOfficeLauncher::LibreOfficeLauncher(LibreOfficeLauncher&&) noexcept = default;
LibreOfficeLauncher::~LibreOfficeLauncher() = default;

void LibreOfficeLauncher::warmTemplate() {
    if (warmTried_) return;
    warmTried_ = true;
    try {
        auto profile =
            std::make_unique<PrivateProfile>(options_.tempFolder, fs::path(), productVersion_);
        const auto pipe = uniquePipeName();
        OfficeProcess office(options_.soffice.string(), headlessArgs(pipe, profile->url()));
        auto connection = connect(office, pipe, options_.soffice.parent_path(), options_.timeLimit);
        try {
            connection.desktop->terminate();
        } catch (const css::uno::Exception&) {
        }
        disposeQuietly(connection.bridge);
        // Only a profile the office left in good order is worth copying.
        if (office.waitForExit(QuitGrace)) template_ = std::move(profile);
    } catch (const Error&) {
        // Each instance then sets its profile up itself, only more slowly.
    }
}

}  // namespace pravelo::platform::libreoffice
