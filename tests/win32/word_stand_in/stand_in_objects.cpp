// The stand-in's automation objects: one small IDispatch base that reads the
// arguments and writes the record, and the four objects on top of it.
#include <oaidl.h>
#include <oleauto.h>
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "stand_in_word.h"

namespace pravelo::testing::word_stand_in {

namespace {

constexpr HRESULT kFileNotFound = 0x800A1436;
constexpr HRESULT kCorrupted = 0x800A16A0;
constexpr HRESULT kWrongPassword = 0x800A1520;
constexpr HRESULT kNoMacro = 0x80020003;
constexpr HRESULT kDivisionByZero = 0x800A000B;
constexpr HRESULT kNoDocument = 0x800A1098;
constexpr HRESULT kCommandFailed = 0x800A1066;
constexpr HRESULT kDeleted = 0x800A16C1;

// Raised inside a call; Invoke turns it into DISP_E_EXCEPTION.
struct Fault {
    HRESULT code;
    std::wstring description;
};

[[noreturn]] void hang() {
    for (;;) Sleep(INFINITE);
}

// A dialog box no one sees, as Word shows one while a call waits for an answer.
[[noreturn]] void hangInDialog(const wchar_t* title) {
    CreateWindowExW(0, WC_DIALOG, title, WS_POPUP | WS_CAPTION, 0, 0, 300, 200, nullptr, nullptr,
                    GetModuleHandleW(nullptr), nullptr);
    hang();
}

std::wstring environment(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return {};
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), size));
    return value;
}

// The user's Word options, kept between instances as Word keeps them.
constexpr wchar_t kOptionsKey[] = L"Software\\Pravelo\\WordStandIn";

bool storedOption(const wchar_t* name) {
    DWORD value = 1, size = sizeof value;
    RegGetValueW(HKEY_CURRENT_USER, kOptionsKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value != 0;
}

void storeOption(const wchar_t* name, bool on) {
    const DWORD value = on ? 1 : 0;
    RegSetKeyValueW(HKEY_CURRENT_USER, kOptionsKey, name, REG_DWORD, &value, sizeof value);
}

bool contains(std::wstring text, std::wstring part) {
    for (auto* s : {&text, &part}) {
        std::transform(s->begin(), s->end(), s->begin(),
                       [](wchar_t c) { return std::towlower(c); });
    }
    return text.find(part) != std::wstring::npos;
}

struct Value {
    enum Kind { Missing, Bool, Number, Text } kind = Missing;
    long number = 0;  // a bool is 0 or -1, as VARIANT_BOOL has it
    std::wstring text;

    std::wstring recorded() const {
        switch (kind) {
            case Bool:
                return number ? L"True" : L"False";
            case Number:
                return std::to_wstring(number);
            case Text:
                return L"\"" + text + L"\"";
            default:
                return L"";
        }
    }
};

Value valueOf(VARIANT& given) {
    VARIANT v;
    VariantInit(&v);
    Value value;
    if (FAILED(VariantCopyInd(&v, &given))) return value;
    if (v.vt == VT_BOOL) {
        value = {Value::Bool, v.boolVal ? -1 : 0, {}};
    } else if (v.vt == VT_BSTR) {
        value = {Value::Text, 0,
                 std::wstring(v.bstrVal ? v.bstrVal : L"", SysStringLen(v.bstrVal))};
    } else if (v.vt != VT_ERROR && v.vt != VT_EMPTY &&
               SUCCEEDED(VariantChangeType(&v, &v, 0, VT_I4))) {
        value = {Value::Number, v.lVal, {}};
    }
    VariantClear(&v);
    return value;
}

// A document file as the objects see it.
struct Doc {
    std::wstring path;
    std::vector<std::wstring> macros;  // run on it since it was opened
    bool open = true;
    bool userControl = false;  // opened by the user, not by automation
};

std::mutex stateLock;
std::vector<std::shared_ptr<Doc>> openDocs;  // the last is the active one
bool normalChanged = false;                  // the Normal template, since it was saved

bool readOnly(const Doc& doc) {
    const DWORD attributes = GetFileAttributesW(doc.path.c_str());
    return (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) ||
           doc.path.find(L"readonly") != std::wstring::npos;
}

std::wstring fileName(const std::wstring& path) {
    return path.substr(path.find_last_of(L"\\/") + 1);
}

void save(Doc& doc) {
    std::wstring lines;
    for (const auto& macro : doc.macros) lines += L"Makro " + macro + L"\r\n";
    doc.macros.clear();
    const int size = WideCharToMultiByte(CP_UTF8, 0, lines.data(), static_cast<int>(lines.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, lines.data(), static_cast<int>(lines.size()), bytes.data(),
                        size, nullptr, nullptr);
    HANDLE file = CreateFileW(doc.path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

void closeDoc(const std::shared_ptr<Doc>& doc) {
    doc->open = false;
    std::erase(openDocs, doc);
}

enum Access { Call, Put, GetPut };  // Call: a method or a property get

struct Member {
    const wchar_t* name;
    Access access;
    std::vector<const wchar_t*> parameters;
};

class Dispatch : public IDispatch {
  public:
    Dispatch(const wchar_t* type, std::vector<Member> members)
        : type_(type), members_(std::move(members)) {
        ++liveObjects;
    }
    virtual ~Dispatch() { --liveObjects; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid != IID_IUnknown && iid != IID_IDispatch) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        *out = static_cast<IDispatch*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override {
        return DISP_E_BADINDEX;
    }

    // The member is 1 + its place in the table; a parameter is its place in the member's list.
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        if (busy()) return RPC_E_SERVERCALL_RETRYLATER;
        std::fill(ids, ids + count, DISPID_UNKNOWN);
        const Member* member = nullptr;
        for (std::size_t i = 0; i < members_.size(); ++i) {
            if (lstrcmpiW(names[0], members_[i].name) == 0) {
                ids[0] = static_cast<DISPID>(i + 1);
                member = &members_[i];
            }
        }
        if (!member) return DISP_E_UNKNOWNNAME;
        HRESULT result = S_OK;
        for (UINT n = 1; n < count; ++n) {
            const auto& list = member->parameters;
            for (std::size_t i = 0; i < list.size(); ++i) {
                if (lstrcmpiW(names[n], list[i]) == 0) ids[n] = static_cast<DISPID>(i);
            }
            if (ids[n] == DISPID_UNKNOWN) result = DISP_E_UNKNOWNNAME;
        }
        return result;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override {
        if (busy()) return RPC_E_SERVERCALL_RETRYLATER;
        if (id < 1 || static_cast<std::size_t>(id) > members_.size()) return DISP_E_MEMBERNOTFOUND;
        const Member& member = members_[id - 1];
        DISPPARAMS none{};
        const DISPPARAMS& p = params ? *params : none;
        if (p.cNamedArgs > p.cArgs) return DISP_E_BADPARAMCOUNT;
        std::wstring line = std::wstring(type_) + L"." + member.name;
        std::vector<Value> arguments(member.parameters.size());

        const bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
        if ((put && member.access == Call) || (!put && member.access == Put))
            return DISP_E_MEMBERNOTFOUND;
        if (put) {
            if (p.cArgs != 1 || p.cNamedArgs != 1 || p.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
                return DISP_E_BADPARAMCOUNT;
            }
            arguments.push_back(valueOf(p.rgvarg[0]));
            line += L" = " + arguments.back().recorded();
        } else {
            if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) return DISP_E_MEMBERNOTFOUND;
            const UINT positional = p.cArgs - p.cNamedArgs;
            if (arguments.size() < positional) arguments.resize(positional);
            std::wstring text;
            for (UINT i = 0; i < positional; ++i) {
                arguments[i] = valueOf(p.rgvarg[p.cArgs - 1 - i]);
                text += (i ? L", " : L"") + arguments[i].recorded();
            }
            for (UINT j = p.cNamedArgs; j-- > 0;) {
                const DISPID named = p.rgdispidNamedArgs[j];
                if (named < 0 || static_cast<std::size_t>(named) >= member.parameters.size()) {
                    if (argumentError) *argumentError = j;
                    return DISP_E_PARAMNOTFOUND;
                }
                arguments[named] = valueOf(p.rgvarg[j]);
                text += std::wstring(text.empty() ? L"" : L", ") + member.parameters[named] +
                        L":=" + arguments[named].recorded();
            }
            if (!text.empty()) line += L" " + text;
        }
        record(line);

        if (result) VariantInit(result);
        try {
            VARIANT returned;
            VariantInit(&returned);
            call(id, arguments, returned);
            if (result) {
                *result = returned;
            } else {
                VariantClear(&returned);
            }
            return S_OK;
        } catch (const Fault& fault) {
            if (exception) {
                *exception = EXCEPINFO{};
                exception->bstrSource = SysAllocString(L"Microsoft Word");
                exception->bstrDescription = SysAllocString(fault.description.c_str());
                exception->scode = fault.code;
            }
            return DISP_E_EXCEPTION;
        }
    }

  protected:
    // Does the call; what it returns goes into result. Arguments are by
    // parameter place, a put's value last (a get has none).
    virtual void call(DISPID member, const std::vector<Value>& arguments, VARIANT& result) = 0;

    static void answer(VARIANT& result, IDispatch* object) {
        result.vt = VT_DISPATCH;
        result.pdispVal = object;
    }
    static void answer(VARIANT& result, bool value) {
        result.vt = VT_BOOL;
        result.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    }
    static void answer(VARIANT& result, long value) {
        result.vt = VT_I4;
        result.lVal = value;
    }
    static void answer(VARIANT& result, const std::wstring& text) {
        result.vt = VT_BSTR;
        result.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    }

  private:
    const wchar_t* type_;
    std::vector<Member> members_;
    std::atomic<ULONG> references_{1};
};

const std::vector<const wchar_t*> kCloseParameters = {L"SaveChanges", L"OriginalFormat",
                                                      L"RouteDocument"};

class Options : public Dispatch {
  public:
    Options()
        : Dispatch(L"Options", {{L"CheckSpellingAsYouType", GetPut, {}},
                                {L"CheckGrammarAsYouType", GetPut, {}}}) {}

  protected:
    void call(DISPID member, const std::vector<Value>& arguments, VARIANT& result) override {
        const wchar_t* name = member == 1 ? L"CheckSpellingAsYouType" : L"CheckGrammarAsYouType";
        if (arguments.empty()) {
            answer(result, storedOption(name));
        } else {
            storeOption(name, arguments.back().number != 0);
        }
    }
};

class Template : public Dispatch {
  public:
    Template() : Dispatch(L"Template", {{L"Saved", GetPut, {}}}) {}

  protected:
    void call(DISPID, const std::vector<Value>& arguments, VARIANT& result) override {
        std::lock_guard guard(stateLock);
        if (arguments.empty()) {
            answer(result, !normalChanged);
        } else {
            normalChanged = arguments.back().number == 0;
        }
    }
};

class Document : public Dispatch {
  public:
    enum : DISPID { Close = 1, FullName, ReadOnly, UserControl };

    explicit Document(std::shared_ptr<Doc> doc)
        : Dispatch(L"Document", {{L"Close", Call, kCloseParameters},
                                 {L"FullName", Call, {}},
                                 {L"ReadOnly", Call, {}},
                                 {L"UserControl", Call, {}}}),
          doc_(std::move(doc)) {}

  protected:
    void call(DISPID member, const std::vector<Value>& arguments, VARIANT& result) override {
        std::unique_lock guard(stateLock);
        if (!doc_->open) throw Fault{kDeleted, L"Object has been deleted."};
        switch (member) {
            case FullName:
                return answer(result, doc_->path);
            case ReadOnly:
                return answer(result, readOnly(*doc_));
            case UserControl:
                return answer(result, doc_->userControl);
            default:
                break;
        }
        if (contains(fileName(doc_->path), L"closefail"))
            throw Fault{kCommandFailed, L"Command failed"};
        const bool saving = arguments[0].kind != Value::Missing && arguments[0].number == -1;
        if (saving && readOnly(*doc_)) {
            guard.unlock();
            hangInDialog(L"Gem som");
        }
        if (saving) save(*doc_);
        closeDoc(doc_);
    }

  private:
    std::shared_ptr<Doc> doc_;
};

class Documents : public Dispatch {
  public:
    enum : DISPID { Open = 1, Count };
    enum { FileName = 0, PasswordDocument = 4, NoEncodingDialog = 14 };

    Documents()
        : Dispatch(L"Documents", {{L"Open",
                                   Call,
                                   {L"FileName", L"ConfirmConversions", L"ReadOnly",
                                    L"AddToRecentFiles", L"PasswordDocument", L"PasswordTemplate",
                                    L"Revert", L"WritePasswordDocument", L"WritePasswordTemplate",
                                    L"Format", L"Encoding", L"Visible", L"OpenAndRepair",
                                    L"DocumentDirection", L"NoEncodingDialog", L"XMLTransform"}},
                                  {L"Count", Call, {}}}) {}

  protected:
    void call(DISPID member, const std::vector<Value>& arguments, VARIANT& result) override {
        if (member == Count) {
            std::lock_guard guard(stateLock);
            return answer(result, static_cast<long>(openDocs.size()));
        }
        const std::wstring path = arguments[FileName].text;
        const std::wstring name = fileName(path);
        if (path.empty() || GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            throw Fault{kFileNotFound, L"This file could not be found.\r(" + path + L")"};
        }
        // "closefail" is Close's trigger, not this one.
        if (contains(name, L"fail") && !contains(name, L"closefail")) {
            throw Fault{kCorrupted, L"The file appears to be corrupted."};
        }
        if (contains(name, L"protected")) {
            if (arguments[PasswordDocument].text.empty()) hang();
            throw Fault{
                kWrongPassword,
                L"The password is incorrect. Word cannot open the document.\r(" + path + L")"};
        }
        if (contains(name, L"hang")) hang();
        if (name.size() > 4 && contains(name.substr(name.size() - 4), L".txt") &&
            arguments[NoEncodingDialog].number == 0) {
            hangInDialog(L"Filkonvertering");
        }
        auto doc = std::make_shared<Doc>();
        doc->path = path;
        std::lock_guard guard(stateLock);
        openDocs.push_back(doc);
        // The user opens a file from Explorer, and it lands in this Word.
        const std::wstring users = environment(L"PRAVELO_WORD_USER_DOCUMENT");
        if (contains(name, L"shellopen") && !users.empty()) {
            auto user = std::make_shared<Doc>();
            user->path = users;
            user->userControl = true;
            openDocs.push_back(user);
            record(L"user opens \"" + users + L"\"");
        }
        answer(result, new Document(doc));
    }
};

class Application : public Dispatch {
  public:
    enum : DISPID {
        Visible = 1,
        ScreenUpdating,
        DisplayAlerts,
        AutomationSecurity,
        GetOptions,
        GetDocuments,
        ActiveDocument,
        Run,
        Quit,
        NormalTemplate
    };

    Application()
        : Dispatch(L"Application", {{L"Visible", Put, {}},
                                    {L"ScreenUpdating", Put, {}},
                                    {L"DisplayAlerts", Put, {}},
                                    {L"AutomationSecurity", Put, {}},
                                    {L"Options", Call, {}},
                                    {L"Documents", Call, {}},
                                    {L"ActiveDocument", Call, {}},
                                    {L"Run", Call, {L"MacroName"}},
                                    {L"Quit", Call, kCloseParameters},
                                    {L"NormalTemplate", Call, {}}}) {}

  protected:
    void call(DISPID member, const std::vector<Value>& arguments, VARIANT& result) override {
        switch (member) {
            case Visible:
            case ScreenUpdating:
            case DisplayAlerts:
            case AutomationSecurity: {
                std::lock_guard guard(stateLock);
                settings_[member] = arguments.back().number;
                visible = settings_[Visible] != 0;
                break;
            }
            case GetOptions:
                return answer(result, new Options);
            case GetDocuments:
                return answer(result, new Documents);
            case NormalTemplate:
                return answer(result, new Template);
            case ActiveDocument: {
                std::lock_guard guard(stateLock);
                if (openDocs.empty()) {
                    throw Fault{kNoDocument,
                                L"This command is not available because no document is open."};
                }
                return answer(result, new Document(openDocs.back()));
            }
            case Run:
                runMacro(arguments[0].text);
                break;
            case Quit:
                quit(arguments[0]);
                break;
            default:
                break;
        }
    }

  private:
    // By member, as a new instance starts: hidden, updating, all alerts, macros allowed.
    long settings_[AutomationSecurity + 1] = {0, 0, -1, -1, 1};

    static void runMacro(const std::wstring& macro) {
        if (contains(macro, L"Mangler"))
            throw Fault{kNoMacro, L"Unable to run the specified macro"};
        if (contains(macro, L"Fejl")) throw Fault{kDivisionByZero, L"Division by zero"};
        if (contains(macro, L"Haenger")) hangInDialog(L"Microsoft Visual Basic");
        const long workMs = std::wcstol(environment(L"PRAVELO_WORD_MACRO_MS").c_str(), nullptr, 10);
        if (workMs > 0) Sleep(static_cast<DWORD>(workMs));
        std::lock_guard guard(stateLock);
        // A macro in Normal leaves Normal changed, as Word counts changes.
        normalChanged = true;
        if (!openDocs.empty()) openDocs.back()->macros.push_back(macro);
    }

    void quit(const Value& saveChanges) {
        std::unique_lock guard(stateLock);
        const bool changed = std::any_of(openDocs.begin(), openDocs.end(),
                                         [](const auto& doc) { return !doc->macros.empty(); });
        bool keep = saveChanges.kind != Value::Missing && saveChanges.number == -1;
        // Unsaved changes, the Normal template's too, ask first; with no alerts
        // the default answer saves them.
        if ((saveChanges.kind == Value::Missing && changed) || normalChanged) {
            if (settings_[DisplayAlerts] != 0) {
                guard.unlock();
                hang();
            }
            if (saveChanges.kind == Value::Missing) keep = true;
        }
        if (normalChanged) record(L"Normal.dotm written");
        while (!openDocs.empty()) {
            if (keep) save(*openDocs.back());
            closeDoc(openDocs.back());
        }
        quitCalled = true;
    }
};

std::atomic<ULONGLONG> busyUntil{0};

}  // namespace

bool busy() {
    return GetTickCount64() < busyUntil;
}

void startBusyPeriod() {
    const long ms = std::wcstol(environment(L"PRAVELO_WORD_BUSY_MS").c_str(), nullptr, 10);
    if (ms > 0) busyUntil = GetTickCount64() + static_cast<ULONGLONG>(ms);
}

IDispatch* newApplication() {
    return new Application;
}

}  // namespace pravelo::testing::word_stand_in
