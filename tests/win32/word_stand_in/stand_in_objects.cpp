// The stand-in's automation objects: one small IDispatch base that reads the
// arguments and writes the record, and the four objects on top of it.
#include <oaidl.h>
#include <oleauto.h>
#include <windows.h>

#include <algorithm>
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
};

std::mutex stateLock;
std::vector<std::shared_ptr<Doc>> openDocs;  // the last is the active one

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

struct Member {
    const wchar_t* name;
    bool put;  // a property put; else a get or a method
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
        if (id < 1 || static_cast<std::size_t>(id) > members_.size()) return DISP_E_MEMBERNOTFOUND;
        const Member& member = members_[id - 1];
        DISPPARAMS none{};
        const DISPPARAMS& p = params ? *params : none;
        if (p.cNamedArgs > p.cArgs) return DISP_E_BADPARAMCOUNT;
        std::wstring line = std::wstring(type_) + L"." + member.name;
        std::vector<Value> arguments(member.parameters.size());

        if (member.put) {
            if (!(flags & DISPATCH_PROPERTYPUT)) return DISP_E_MEMBERNOTFOUND;
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
            IDispatch* returned = call(id, arguments);
            if (returned && result) {
                result->vt = VT_DISPATCH;
                result->pdispVal = returned;
            } else if (returned) {
                returned->Release();
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
    // Does the call; returns an object for the client (one reference) or nullptr.
    // Arguments are by parameter place, a put's value last.
    virtual IDispatch* call(DISPID member, const std::vector<Value>& arguments) = 0;

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
        : Dispatch(L"Options",
                   {{L"CheckSpellingAsYouType", true, {}}, {L"CheckGrammarAsYouType", true, {}}}) {}

  protected:
    IDispatch* call(DISPID, const std::vector<Value>&) override { return nullptr; }
};

class Document : public Dispatch {
  public:
    explicit Document(std::shared_ptr<Doc> doc)
        : Dispatch(L"Document", {{L"Close", false, kCloseParameters}}), doc_(std::move(doc)) {}

  protected:
    IDispatch* call(DISPID, const std::vector<Value>& arguments) override {
        std::lock_guard guard(stateLock);
        if (!doc_->open) throw Fault{kDeleted, L"Object has been deleted."};
        if (contains(fileName(doc_->path), L"closefail"))
            throw Fault{kCommandFailed, L"Command failed"};
        if (arguments[0].kind != Value::Missing && arguments[0].number == -1) save(*doc_);
        closeDoc(doc_);
        return nullptr;
    }

  private:
    std::shared_ptr<Doc> doc_;
};

class Documents : public Dispatch {
  public:
    Documents()
        : Dispatch(L"Documents",
                   {{L"Open",
                     false,
                     {L"FileName", L"ConfirmConversions", L"ReadOnly", L"AddToRecentFiles",
                      L"PasswordDocument", L"PasswordTemplate", L"Revert", L"WritePasswordDocument",
                      L"WritePasswordTemplate", L"Format", L"Encoding", L"Visible"}}}) {}

  protected:
    IDispatch* call(DISPID, const std::vector<Value>& arguments) override {
        const std::wstring path = arguments[0].text;
        const std::wstring name = fileName(path);
        if (path.empty() || GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            throw Fault{kFileNotFound, L"This file could not be found.\r(" + path + L")"};
        }
        // "closefail" is Close's trigger, not this one.
        if (contains(name, L"fail") && !contains(name, L"closefail")) {
            throw Fault{kCorrupted, L"The file appears to be corrupted."};
        }
        if (contains(name, L"protected")) {
            if (arguments[4].text.empty()) hang();
            throw Fault{
                kWrongPassword,
                L"The password is incorrect. Word cannot open the document.\r(" + path + L")"};
        }
        if (contains(name, L"hang")) hang();
        auto doc = std::make_shared<Doc>();
        doc->path = path;
        std::lock_guard guard(stateLock);
        openDocs.push_back(doc);
        return new Document(doc);
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
        Quit
    };

    Application()
        : Dispatch(L"Application", {{L"Visible", true, {}},
                                    {L"ScreenUpdating", true, {}},
                                    {L"DisplayAlerts", true, {}},
                                    {L"AutomationSecurity", true, {}},
                                    {L"Options", false, {}},
                                    {L"Documents", false, {}},
                                    {L"ActiveDocument", false, {}},
                                    {L"Run", false, {L"MacroName"}},
                                    {L"Quit", false, kCloseParameters}}) {}

  protected:
    IDispatch* call(DISPID member, const std::vector<Value>& arguments) override {
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
                return new Options;
            case GetDocuments:
                return new Documents;
            case ActiveDocument: {
                std::lock_guard guard(stateLock);
                if (openDocs.empty()) {
                    throw Fault{kNoDocument,
                                L"This command is not available because no document is open."};
                }
                return new Document(openDocs.back());
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
        return nullptr;
    }

  private:
    // By member, as a new instance starts: hidden, updating, all alerts, macros allowed.
    long settings_[AutomationSecurity + 1] = {0, 0, -1, -1, 1};

    static void runMacro(const std::wstring& macro) {
        if (contains(macro, L"Mangler"))
            throw Fault{kNoMacro, L"Unable to run the specified macro"};
        if (contains(macro, L"Fejl")) throw Fault{kDivisionByZero, L"Division by zero"};
        if (contains(macro, L"Haenger")) hang();
        std::lock_guard guard(stateLock);
        if (!openDocs.empty()) openDocs.back()->macros.push_back(macro);
    }

    void quit(const Value& saveChanges) {
        std::unique_lock guard(stateLock);
        const bool changed = std::any_of(openDocs.begin(), openDocs.end(),
                                         [](const auto& doc) { return !doc->macros.empty(); });
        bool keep = saveChanges.kind != Value::Missing && saveChanges.number == -1;
        if (saveChanges.kind == Value::Missing && changed) {
            if (settings_[DisplayAlerts] != 0) {
                guard.unlock();
                hang();
            }
            keep = true;  // no prompt: its default answer
        }
        while (!openDocs.empty()) {
            if (keep) save(*openDocs.back());
            closeDoc(openDocs.back());
        }
        quitCalled = true;
    }
};

}  // namespace

IDispatch* newApplication() {
    return new Application;
}

}  // namespace pravelo::testing::word_stand_in
