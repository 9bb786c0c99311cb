#include "platform/word/word_application.h"

#include <functional>
#include <vector>

#include "platform/error.h"
#include "platform/support/watchdog.h"
#include "platform/win32/text_convert.h"
#include "platform/word/automation.h"
#include "platform/word/word_process.h"

namespace pravelo::platform::word {

namespace {

// {000209FF-0000-0000-C000-000000000046}
constexpr CLSID kWordApplication = {
    0x000209FF, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

constexpr long kAlertsNone = 0;
constexpr long kAlertsAll = -1;
constexpr long kMacrosForceDisabled = 3;
constexpr long kMacrosLow = 1;  // what Word uses when automation starts it
constexpr long kOriginalDocumentFormat = 1;
// Given for every open: a protected document then fails at once with Word's
// own error instead of waiting, hidden, for a password no one can type.
// Short: old formats take at most 15 characters.
constexpr const char* kNoPassword = "pravelo#7F3C";

}  // namespace

// What one application object and its documents share. Members end in reverse
// order: references first, then the process and the apartment.
struct WordInstance {
    explicit WordInstance(const WordOptions& options);
    ~WordInstance();

    // One call into Word under the step limit. A failure marks the instance,
    // so quitting discards; a call the limit ended reports the time-out.
    void step(const std::wstring& member, const std::function<void()>& call);
    // Ends this Word at the limit; every call into it, Release too, runs under one.
    Watchdog watch() {
        return Watchdog(settings.timeLimit, [this] { process.terminate(); });
    }
    Error timedOut(const std::wstring& member) const;
    const Dispatch& optionsObject();
    void release();
    // Word has ended (quit, stopped at the limit, or gone by itself).
    bool ended() const { return stopped || !process.running(); }

    ComApartment apartment;
    WordOptions settings;
    WordProcess process;
    Dispatch application;
    Dispatch options;
    bool failed = false;
    bool stopped = false;
    bool alertsOff = false;
    bool handedOver = false;
};

WordInstance::WordInstance(const WordOptions& options)
    : settings(options), process(registeredServerImage(kWordApplication, L"WINWORD.EXE")) {
    process.noteStart();
    IDispatch* created = nullptr;
    HRESULT result = S_OK;
    bool expired = false;
    {
        const Watchdog watchdog = watch();
        result = CoCreateInstance(kWordApplication, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                  reinterpret_cast<void**>(&created));
        expired = watchdog.expired();
    }
    if (expired) {
        if (created != nullptr) created->Release();
        throw timedOut(L"Word.Application");
    }
    if (FAILED(result)) throw automationError(result, nullptr, L"Word.Application");
    application = Dispatch(created);
    if (!process.adoptNew()) {
        // Without its process no limit can end a hung call: send it away at once.
        failed = true;
        try {
            step(L"Application.Quit", [&] {
                application.call(L"Quit", {}, {{L"SaveChanges", Variant::integer(0)}});
            });
        } catch (const Error&) {
        }
        release();
        throw Error(errnum::Internal,
                    "Word blev startet, men dets proces kunne ikke skelnes fra andre Word-"
                    "processer; Word er lukket igen, og dokumentet er ikke åbnet");
    }
}

WordInstance::~WordInstance() {
    if (!handedOver && process.running()) process.terminate();
    release();
}

void WordInstance::step(const std::wstring& member, const std::function<void()>& call) {
    const Watchdog watchdog = watch();
    try {
        call();
    } catch (const Error&) {
        failed = true;
        if (watchdog.expired()) {
            stopped = true;
            throw timedOut(member);
        }
        throw;
    }
    if (watchdog.expired()) {
        failed = stopped = true;
        throw timedOut(member);
    }
}

Error WordInstance::timedOut(const std::wstring& member) const {
    return Error(errnum::TimedOut, "Word svarede ikke på " + win32::fromWide(member) +
                                       " inden for " + limitText(settings.timeLimit) +
                                       "; Word blev stoppet");
}

const Dispatch& WordInstance::optionsObject() {
    if (!options)
        step(L"Application.Options", [&] { options = application.getObject(L"Options"); });
    return options;
}

void WordInstance::release() {
    const Watchdog watchdog = watch();
    options.reset();
    application.reset();
}

class WordDocument : public OfficeDocument {
  public:
    WordDocument(std::shared_ptr<WordInstance> word, Dispatch document)
        : word_(std::move(word)), document_(std::move(document)) {}
    ~WordDocument() override {
        const Watchdog watchdog = word_->watch();
        document_.reset();
    }

    void close(int saveChanges) override {
        // Saved as what it was opened as: a converted file is never written back
        // in another format under its own name.
        word_->step(L"Document.Close", [&] {
            document_.call(L"Close", {},
                           {{L"SaveChanges", Variant::integer(saveChanges)},
                            {L"OriginalFormat", Variant::integer(kOriginalDocumentFormat)}});
        });
    }

  private:
    std::shared_ptr<WordInstance> word_;
    Dispatch document_;
};

void WordOptionsObject::setCheckSpellingAsYouType(bool on) {
    const Dispatch& options = word_->optionsObject();
    word_->step(L"Options.CheckSpellingAsYouType",
                [&] { options.put(L"CheckSpellingAsYouType", Variant::boolean(on)); });
}

void WordOptionsObject::setCheckGrammarAsYouType(bool on) {
    const Dispatch& options = word_->optionsObject();
    word_->step(L"Options.CheckGrammarAsYouType",
                [&] { options.put(L"CheckGrammarAsYouType", Variant::boolean(on)); });
}

std::shared_ptr<OfficeDocument> WordDocuments::open(const std::string& fileName) {
    WordInstance& word = *word_;
    const Dispatch& application = word.application;
    if (!word.alertsOff) {
        word.step(L"Application.DisplayAlerts",
                  [&] { application.put(L"DisplayAlerts", Variant::integer(kAlertsNone)); });
        word.alertsOff = true;
    }
    // A document's own AutoOpen or Document_Open must not run.
    word.step(L"Application.AutomationSecurity", [&] {
        application.put(L"AutomationSecurity", Variant::integer(kMacrosForceDisabled));
    });
    Dispatch documents;
    word.step(L"Application.Documents", [&] { documents = application.getObject(L"Documents"); });
    Dispatch document;
    word.step(L"Documents.Open", [&] {
        document =
            documents.callForObject(L"Open", {Variant::text(fileName)},
                                    {{L"ConfirmConversions", Variant::boolean(false)},
                                     {L"PasswordDocument", Variant::text(kNoPassword)},
                                     {L"WritePasswordDocument", Variant::text(kNoPassword)}});
    });
    // Back to what automation gets by itself, so the user's own macro can run.
    word.step(L"Application.AutomationSecurity",
              [&] { application.put(L"AutomationSecurity", Variant::integer(kMacrosLow)); });
    return std::make_shared<WordDocument>(word_, std::move(document));
}

std::unique_ptr<OfficeApplication> WordLauncher::startNew() {
    return std::make_unique<WordApplication>(options_);
}

WordApplication::WordApplication(const WordOptions& options)
    : word_(std::make_shared<WordInstance>(options)), options_(word_), documents_(word_) {}

WordApplication::~WordApplication() = default;

void WordApplication::setVisible(bool visible) {
    WordInstance& word = *word_;
    if (visible && word.alertsOff) {
        // The user's Word asks before it throws anything away.
        word.step(L"Application.DisplayAlerts",
                  [&] { word.application.put(L"DisplayAlerts", Variant::integer(kAlertsAll)); });
        word.alertsOff = false;
    }
    word.step(L"Application.Visible",
              [&] { word.application.put(L"Visible", Variant::boolean(visible)); });
    if (visible) {
        word.handedOver = true;
        word.process.handOver();
    }
}

void WordApplication::setScreenUpdating(bool on) {
    WordInstance& word = *word_;
    word.step(L"Application.ScreenUpdating",
              [&] { word.application.put(L"ScreenUpdating", Variant::boolean(on)); });
}

void WordApplication::run(const std::string& macroName) {
    WordInstance& word = *word_;
    word.step(L"Application.Run",
              [&] { word.application.call(L"Run", {Variant::text(macroName)}, {}); });
}

std::shared_ptr<OfficeDocument> WordApplication::activeDocument() {
    WordInstance& word = *word_;
    Dispatch document;
    word.step(L"Application.ActiveDocument",
              [&] { document = word.application.getObject(L"ActiveDocument"); });
    return std::make_shared<WordDocument>(word_, std::move(document));
}

void WordApplication::quit() {
    WordInstance& word = *word_;
    if (word.ended()) {
        // Stopped at the limit or gone by itself: that failure is already reported.
        word.release();
        return;
    }
    std::vector<NamedArgument> discard;
    if (word.failed) discard.push_back({L"SaveChanges", Variant::integer(0)});
    try {
        word.step(L"Application.Quit", [&] { word.application.call(L"Quit", {}, discard); });
    } catch (const Error&) {
        word.process.terminate();
        word.release();
        throw;
    }
    word.release();
    if (!word.process.waitForExit(word.settings.quitGrace)) word.process.terminate();
}

}  // namespace pravelo::platform::word
