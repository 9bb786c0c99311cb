#include "platform/word/word_application.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/error.h"
#include "platform/support/watchdog.h"
#include "platform/win32/text_convert.h"
#include "platform/word/automation.h"
#include "platform/word/word_process.h"

namespace pravelo::platform::word {

namespace {

using std::chrono::milliseconds;

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
// Between two tries of a call that a busy Word turned away.
constexpr DWORD kBusyPauseMs = 150;

bool sameFile(const std::string& a, const std::string& b) {
    const std::wstring wa = win32::toWide(a), wb = win32::toWide(b);
    return CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(),
                                static_cast<int>(wb.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

// One of the user's own Word settings that we switch off for a while.
struct UserOption {
    const wchar_t* name;
    std::optional<bool> user;  // as the user had it
    std::optional<bool> now;   // as we last set it
};

// What one application object and its documents share. Members end in reverse
// order: references first, then the process and the apartment.
struct WordInstance {
    explicit WordInstance(const WordOptions& options);
    ~WordInstance();

    // One call into Word under a limit, asked again while Word turns it away
    // as busy. A failure marks the instance, so quitting discards; a call the
    // limit ended reports the time-out.
    void step(const std::wstring& member, const std::function<void()>& call, milliseconds limit);
    void step(const std::wstring& member, const std::function<void()>& call) {
        step(member, call, settings.stepLimit);
    }
    // At the limit, ends this Word, unless it holds a document of the user's.
    Watchdog watch(milliseconds limit);
    Error timedOut(const std::wstring& member, milliseconds limit) const;
    const Dispatch& optionsObject();
    void setOption(UserOption& option, bool on);
    void restoreOptions();
    void closeDocument(int saveChanges);
    bool holdsOtherDocuments();
    void handOverToUser();
    void finish();
    void release();
    // Word has ended (quit, stopped at the limit, or gone by itself).
    bool ended() const { return stopped || !process.running(); }

    ComApartment apartment;
    WordOptions settings;
    WordProcess process;
    Dispatch application;
    Dispatch options;
    Dispatch documents;
    // The document Documents.Open gave us: the only one we ever touch.
    Dispatch document;
    bool documentOpen = false;
    bool documentSaved = false;
    UserOption spelling{L"CheckSpellingAsYouType", {}, {}};
    UserOption grammar{L"CheckGrammarAsYouType", {}, {}};
    bool failed = false;
    bool stopped = false;
    bool alertsOff = false;
    bool handedOver = false;
    // Word holds a document the user opened: it is never ended or quit by us.
    std::atomic<bool> foreign{false};
    bool foreignReported = false;
    mutable std::mutex dialogLock;
    std::string dialog;  // what Word showed when a call ran out of time

  private:
    IDispatch* create();
};

WordInstance::WordInstance(const WordOptions& options)
    : settings(options), process(registeredServerImage(kWordApplication, L"WINWORD.EXE")) {
    StartMarker::endOrphans(settings.stepLimit);
    const StartMarker marker(process.imageName());
    process.noteStart();
    application = Dispatch(create());
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

// CoCreateInstance in its two halves, so that the half a busy Word turns away
// can be asked again of the same Word: a new request would start another one.
IDispatch* WordInstance::create() {
    IDispatch* created = nullptr;
    HRESULT result = S_OK;
    bool expired = false;
    {
        const Watchdog watchdog = watch(settings.stepLimit);
        IClassFactory* factory = nullptr;
        result = CoGetClassObject(kWordApplication, CLSCTX_LOCAL_SERVER, nullptr, IID_IClassFactory,
                                  reinterpret_cast<void**>(&factory));
        if (SUCCEEDED(result)) {
            for (;;) {
                result = factory->CreateInstance(nullptr, IID_IDispatch,
                                                 reinterpret_cast<void**>(&created));
                if (!rejectedAsBusy(result) || watchdog.expired()) break;
                Sleep(kBusyPauseMs);
            }
            factory->Release();
        }
        expired = watchdog.expired();
    }
    if (expired || FAILED(result)) {
        if (created != nullptr) created->Release();
        // A Word that started for us but never became ours would stay hidden for good.
        process.terminate();
        if (expired) throw timedOut(L"Word.Application", settings.stepLimit);
        throw automationError(result, nullptr, L"Word.Application");
    }
    return created;
}

WordInstance::~WordInstance() {
    if (!handedOver && !foreign && process.running()) process.terminate();
    release();
}

Watchdog WordInstance::watch(milliseconds limit) {
    return Watchdog(limit, [this] {
        {
            const std::wstring title = process.dialogTitle();
            std::lock_guard lock(dialogLock);
            dialog = win32::fromWide(title);
        }
        if (!foreign) process.terminate();
    });
}

void WordInstance::step(const std::wstring& member, const std::function<void()>& call,
                        milliseconds limit) {
    const Watchdog watchdog = watch(limit);
    try {
        for (;;) {
            try {
                call();
                break;
            } catch (const Error& error) {
                if (!rejectedAsBusy(error) || watchdog.expired()) throw;
            }
            Sleep(kBusyPauseMs);
        }
    } catch (const Error&) {
        failed = true;
        if (watchdog.expired()) {
            stopped = !foreign;
            throw timedOut(member, limit);
        }
        throw;
    }
    if (watchdog.expired()) {
        failed = true;
        stopped = !foreign;
        throw timedOut(member, limit);
    }
}

Error WordInstance::timedOut(const std::wstring& member, milliseconds limit) const {
    std::string text =
        "Word svarede ikke på " + win32::fromWide(member) + " inden for " + limitText(limit);
    {
        std::lock_guard lock(dialogLock);
        if (!dialog.empty()) text += "; Word viste dialogen »" + dialog + "«";
    }
    if (!foreign) text += "; Word blev stoppet";
    return Error(errnum::TimedOut, text);
}

const Dispatch& WordInstance::optionsObject() {
    if (!options)
        step(L"Application.Options", [&] { options = application.getObject(L"Options"); });
    return options;
}

// Word keeps these for the user after it quits: read first, so the user's own
// value is what "on" puts back.
void WordInstance::setOption(UserOption& option, bool on) {
    const Dispatch& object = optionsObject();
    const std::wstring member = std::wstring(L"Options.") + option.name;
    if (!option.user) step(member, [&] { option.user = object.getBoolean(option.name); });
    const bool value = on && *option.user;
    step(member, [&] { object.put(option.name, Variant::boolean(value)); });
    option.now = value;
}

void WordInstance::restoreOptions() {
    for (UserOption* option : {&spelling, &grammar}) {
        if (option->user && option->now && *option->now != *option->user) setOption(*option, true);
    }
}

void WordInstance::closeDocument(int saveChanges) {
    // Saved as what it was opened as: a converted file is never written back
    // in another format under its own name.
    step(L"Document.Close", [&] {
        document.call(L"Close", {},
                      {{L"SaveChanges", Variant::integer(saveChanges)},
                       {L"OriginalFormat", Variant::integer(kOriginalDocumentFormat)}});
    });
    documentOpen = false;
    documentSaved = saveChanges == OfficeDocument::SaveChanges;
}

// True also when Word cannot say: a document of the user's is never risked.
bool WordInstance::holdsOtherDocuments() {
    try {
        if (!documents) {
            step(L"Application.Documents",
                 [&] { documents = application.getObject(L"Documents"); });
        }
        long count = 1;
        step(L"Documents.Count", [&] { count = documents.getInteger(L"Count"); });
        return count > (documentOpen ? 1 : 0);
    } catch (const Error&) {
        if (ended()) throw;
        return true;
    }
}

// As the user's own Word: alerts and options back, visible, and never ended by us.
void WordInstance::handOverToUser() {
    foreign = true;
    const auto tryStep = [&](const std::wstring& member, const std::function<void()>& call) {
        try {
            step(member, call);
        } catch (const Error&) {
        }
    };
    if (alertsOff) {
        tryStep(L"Application.DisplayAlerts",
                [&] { application.put(L"DisplayAlerts", Variant::integer(kAlertsAll)); });
    }
    for (UserOption* option : {&spelling, &grammar}) {
        tryStep(std::wstring(L"Options.") + option->name, [&] {
            if (option->user && option->now && *option->now != *option->user)
                options.put(option->name, Variant::boolean(*option->user));
        });
    }
    tryStep(L"Application.ScreenUpdating",
            [&] { application.put(L"ScreenUpdating", Variant::boolean(true)); });
    tryStep(L"Application.Visible", [&] { application.put(L"Visible", Variant::boolean(true)); });
    handedOver = true;
    process.handOver();
}

// The closing step: our document closed (unsaved, after a failure), then Word
// quit, unless it holds documents we did not open.
void WordInstance::finish() {
    if (documentOpen) {
        try {
            closeDocument(OfficeDocument::DoNotSaveChanges);
        } catch (const Error&) {
            // Quit with SaveChanges 0 discards it all the same.
            if (ended()) throw;
        }
    }
    const bool others = holdsOtherDocuments();
    if (others) {
        handOverToUser();
        release();
        if (foreignReported) return;
        foreignReported = true;
        throw Error(errnum::PermissionDenied,
                    std::string(documentSaved ? "Dokumentet er editeret og gemt, men " : "") +
                        "Word har også et dokument, som Pravelo ikke har åbnet; Word er derfor "
                        "ikke lukket, men vist og overladt til brugeren");
    }
    try {
        restoreOptions();
        // Word never asks about, or writes, the user's Normal template on our behalf.
        Dispatch normal;
        step(L"Application.NormalTemplate",
             [&] { normal = application.getObject(L"NormalTemplate"); });
        step(L"Template.Saved", [&] { normal.put(L"Saved", Variant::boolean(true)); });
        std::vector<NamedArgument> discard;
        if (failed) discard.push_back({L"SaveChanges", Variant::integer(0)});
        step(L"Application.Quit", [&] { application.call(L"Quit", {}, discard); });
    } catch (const Error&) {
        process.terminate();
        throw;
    }
    release();
    if (!process.waitForExit(settings.quitGrace)) process.terminate();
}

void WordInstance::release() {
    const Watchdog watchdog = watch(settings.stepLimit);
    document.reset();
    documents.reset();
    options.reset();
    application.reset();
}

class WordDocument : public OfficeDocument {
  public:
    explicit WordDocument(std::shared_ptr<WordInstance> word) : word_(std::move(word)) {}
    void close(int saveChanges) override { word_->closeDocument(saveChanges); }

  private:
    std::shared_ptr<WordInstance> word_;
};

void WordOptionsObject::setCheckSpellingAsYouType(bool on) {
    word_->setOption(word_->spelling, on);
}

void WordOptionsObject::setCheckGrammarAsYouType(bool on) {
    word_->setOption(word_->grammar, on);
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
    word.step(L"Application.Documents",
              [&] { word.documents = application.getObject(L"Documents"); });
    word.step(
        L"Documents.Open",
        [&] {
            word.document = word.documents.callForObject(
                L"Open", {Variant::text(fileName)},
                {{L"ConfirmConversions", Variant::boolean(false)},
                 {L"AddToRecentFiles", Variant::boolean(false)},
                 {L"PasswordDocument", Variant::text(kNoPassword)},
                 {L"WritePasswordDocument", Variant::text(kNoPassword)},
                 {L"NoEncodingDialog", Variant::boolean(true)}});
        },
        word.settings.timeLimit);
    word.documentOpen = true;
    // Back to what automation gets by itself, so the user's own macro can run.
    word.step(L"Application.AutomationSecurity",
              [&] { application.put(L"AutomationSecurity", Variant::integer(kMacrosLow)); });
    return std::make_shared<WordDocument>(word_);
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

// The macro runs only on the document we opened, and only if it can be saved:
// a document the user opened in this Word, or a Save As no one would see,
// must not be what it works on.
void WordApplication::run(const std::string& macroName) {
    WordInstance& word = *word_;
    std::string ours, active;
    bool readOnly = false;
    word.step(L"Document.FullName", [&] { ours = word.document.getText(L"FullName"); });
    word.step(L"Document.ReadOnly", [&] { readOnly = word.document.getBoolean(L"ReadOnly"); });
    if (readOnly) {
        word.failed = true;
        throw Error(errnum::FileAccess,
                    "Word har åbnet dokumentet skrivebeskyttet og kan ikke gemme det; makroen er "
                    "ikke kørt, og dokumentet er lukket uden at gemme");
    }
    Dispatch activeDocument;
    word.step(L"Application.ActiveDocument",
              [&] { activeDocument = word.application.getObject(L"ActiveDocument"); });
    word.step(L"Document.FullName", [&] { active = activeDocument.getText(L"FullName"); });
    if (!sameFile(ours, active)) {
        word.failed = true;
        word.foreign = true;
        word.foreignReported = true;
        throw Error(errnum::PermissionDenied,
                    "Word viser et andet dokument, som Pravelo ikke har åbnet (" + active +
                        "); makroen er ikke kørt, og Word er overladt til brugeren");
    }
    word.step(
        L"Application.Run", [&] { word.application.call(L"Run", {Variant::text(macroName)}, {}); },
        word.settings.timeLimit);
}

// The document this Word opened for us, whatever the macro left active: only
// that one is ever saved.
std::shared_ptr<OfficeDocument> WordApplication::activeDocument() {
    return std::make_shared<WordDocument>(word_);
}

void WordApplication::quit() {
    WordInstance& word = *word_;
    // A document that failed has its line already; nothing after it adds one.
    const bool reported = word.failed;
    try {
        if (!word.ended()) word.finish();
    } catch (const Error&) {
        word.release();
        if (!reported) throw;
        return;
    }
    word.release();
}

}  // namespace pravelo::platform::word
