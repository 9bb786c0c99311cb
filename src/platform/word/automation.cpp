#include "platform/word/automation.h"

#include <cstdio>

#include "platform/win32/system_error.h"
#include "platform/win32/text_convert.h"

namespace pravelo::platform::word {

namespace {

std::string bstrText(BSTR text) {
    return text == nullptr ? std::string()
                           : win32::fromWide(std::wstring_view(text, SysStringLen(text)));
}

std::int32_t classicNumber(HRESULT code) {
    if (HRESULT_FACILITY(code) == FACILITY_CONTROL) return HRESULT_CODE(code);
    return static_cast<std::int32_t>(code);
}

}  // namespace

ComApartment::ComApartment() {
    // Calls block until Word answers; a multithreaded apartment needs no
    // message pump on the worker thread for that.
    const HRESULT result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    mustUninitialize_ = SUCCEEDED(result);
}

ComApartment::~ComApartment() {
    if (mustUninitialize_) CoUninitialize();
}

Variant::Variant(const Variant& other) {
    VariantInit(&value_);
    VariantCopy(&value_, const_cast<VARIANT*>(&other.value_));
}

Variant Variant::boolean(bool value) {
    Variant v;
    v.value_.vt = VT_BOOL;
    v.value_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

Variant Variant::integer(long value) {
    Variant v;
    v.value_.vt = VT_I4;
    v.value_.lVal = value;
    return v;
}

Variant Variant::text(const std::string& utf8) {
    Variant v;
    const std::wstring wide = win32::toWide(utf8);
    v.value_.vt = VT_BSTR;
    v.value_.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    return v;
}

Dispatch::Dispatch(const Dispatch& other) : object_(other.object_) {
    if (object_ != nullptr) object_->AddRef();
}

Dispatch& Dispatch::operator=(Dispatch other) noexcept {
    std::swap(object_, other.object_);
    return *this;
}

Dispatch::~Dispatch() {
    reset();
}

void Dispatch::reset() {
    // Release is a call into the server too; one that is gone answers at once.
    if (object_ != nullptr) object_->Release();
    object_ = nullptr;
}

void Dispatch::put(const wchar_t* property, const Variant& value) const {
    invoke(property, DISPATCH_PROPERTYPUT, {value}, {}, nullptr);
}

Dispatch Dispatch::getObject(const wchar_t* property) const {
    Variant result;
    invoke(property, DISPATCH_PROPERTYGET, {}, {}, result.get());
    return callResultObject(result, property);
}

Variant Dispatch::get(const wchar_t* property) const {
    Variant result;
    invoke(property, DISPATCH_PROPERTYGET, {}, {}, result.get());
    return result;
}

std::string Dispatch::getText(const wchar_t* property) const {
    Variant result = get(property);
    if (VariantChangeType(result.get(), result.get(), 0, VT_BSTR) != S_OK) return {};
    return bstrText(result.get()->bstrVal);
}

bool Dispatch::getBoolean(const wchar_t* property) const {
    Variant result = get(property);
    if (VariantChangeType(result.get(), result.get(), 0, VT_BOOL) != S_OK) {
        throw Error(static_cast<std::int32_t>(DISP_E_TYPEMISMATCH),
                    "Word svarede ikke med en sandhedsværdi på " + win32::fromWide(property));
    }
    return result.get()->boolVal != VARIANT_FALSE;
}

long Dispatch::getInteger(const wchar_t* property) const {
    Variant result = get(property);
    if (VariantChangeType(result.get(), result.get(), 0, VT_I4) != S_OK) {
        throw Error(static_cast<std::int32_t>(DISP_E_TYPEMISMATCH),
                    "Word svarede ikke med et tal på " + win32::fromWide(property));
    }
    return result.get()->lVal;
}

Dispatch Dispatch::callForObject(const wchar_t* method, const std::vector<Variant>& positional,
                                 const std::vector<NamedArgument>& named) const {
    Variant result;
    invoke(method, DISPATCH_METHOD, positional, named, result.get());
    return callResultObject(result, method);
}

void Dispatch::call(const wchar_t* method, const std::vector<Variant>& positional,
                    const std::vector<NamedArgument>& named) const {
    Variant ignored;
    invoke(method, DISPATCH_METHOD, positional, named, ignored.get());
}

Dispatch Dispatch::callResultObject(Variant& result, const wchar_t* member) {
    VARIANT* value = result.get();
    if (value->vt == VT_DISPATCH && value->pdispVal != nullptr) {
        IDispatch* object = value->pdispVal;
        object->AddRef();
        return Dispatch(object);
    }
    throw Error(static_cast<std::int32_t>(E_NOINTERFACE),
                "Word svarede ikke med et objekt på " + win32::fromWide(member));
}

void Dispatch::invoke(const wchar_t* member, WORD flags, const std::vector<Variant>& positional,
                      const std::vector<NamedArgument>& named, VARIANT* result) const {
    if (object_ == nullptr) {
        throw Error(static_cast<std::int32_t>(E_POINTER),
                    "Intet Word-objekt til " + win32::fromWide(member));
    }

    // Names first the member, then its named arguments: one lookup gives all ids.
    std::vector<LPOLESTR> names{const_cast<LPOLESTR>(member)};
    for (const auto& argument : named) names.push_back(const_cast<LPOLESTR>(argument.name.c_str()));
    std::vector<DISPID> ids(names.size());
    HRESULT status = object_->GetIDsOfNames(IID_NULL, names.data(), static_cast<UINT>(names.size()),
                                            LOCALE_USER_DEFAULT, ids.data());
    if (FAILED(status)) throw automationError(status, nullptr, member);

    // Named arguments come first in rgvarg, then the positional ones; both
    // last-first, as classic clients pass them.
    std::vector<VARIANTARG> arguments;
    std::vector<DISPID> namedIds;
    for (std::size_t i = named.size(); i-- > 0;) {
        arguments.push_back(*named[i].value.get());
        namedIds.push_back(ids[i + 1]);
    }
    for (auto it = positional.rbegin(); it != positional.rend(); ++it)
        arguments.push_back(*it->get());
    DISPID propertyPut = DISPID_PROPERTYPUT;
    DISPPARAMS parameters{arguments.data(),
                          flags == DISPATCH_PROPERTYPUT ? &propertyPut : namedIds.data(),
                          static_cast<UINT>(arguments.size()),
                          flags == DISPATCH_PROPERTYPUT ? 1u : static_cast<UINT>(namedIds.size())};

    EXCEPINFO raised{};
    UINT badArgument = 0;
    status = object_->Invoke(ids[0], IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result,
                             &raised, &badArgument);
    if (FAILED(status)) {
        const Error error = automationError(status, &raised, member);
        SysFreeString(raised.bstrSource);
        SysFreeString(raised.bstrDescription);
        SysFreeString(raised.bstrHelpFile);
        throw error;
    }
}

Error automationError(HRESULT result, EXCEPINFO* raised, const std::wstring& member) {
    if (result == DISP_E_EXCEPTION && raised != nullptr) {
        if (raised->pfnDeferredFillIn != nullptr) raised->pfnDeferredFillIn(raised);
        const HRESULT code = raised->scode != 0 ? raised->scode : result;
        const std::int32_t number = raised->wCode != 0 ? raised->wCode : classicNumber(code);
        std::string description = bstrText(raised->bstrDescription);
        if (description.empty()) description = hresultText(code);
        return Error(number, description);
    }
    std::string description = hresultText(result);
    if (result == DISP_E_UNKNOWNNAME || result == DISP_E_MEMBERNOTFOUND) {
        description += ": " + win32::fromWide(member);
    }
    return Error(classicNumber(result), description);
}

bool rejectedAsBusy(HRESULT result) {
    return result == RPC_E_SERVERCALL_RETRYLATER || result == RPC_E_CALL_REJECTED;
}

bool rejectedAsBusy(const Error& error) {
    return rejectedAsBusy(static_cast<HRESULT>(error.number()));
}

std::string hresultText(HRESULT result) {
    switch (result) {
        case REGDB_E_CLASSNOTREG:
            return "Word er ikke installeret: automationsklassen er ikke registreret";
        case CO_E_SERVER_EXEC_FAILURE:
            return "Word kunne ikke startes";
        case E_ACCESSDENIED:
            return "Adgang nægtet";
        case RPC_E_CALL_REJECTED:
        case RPC_E_SERVERCALL_RETRYLATER:
            return "Word afviste kaldet, fordi det er optaget";
        case HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE):
        case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED):
        case RPC_E_DISCONNECTED:
        case RPC_E_SERVER_DIED:
        case RPC_E_SERVER_DIED_DNE:
            return "Word stoppede uventet";
        case DISP_E_UNKNOWNNAME:
        case DISP_E_MEMBERNOTFOUND:
            return "Word kender ikke dette medlem";
        case DISP_E_TYPEMISMATCH:
        case DISP_E_BADPARAMCOUNT:
        case DISP_E_PARAMNOTOPTIONAL:
            return "Word afviste argumenterne";
        default:
            break;
    }
    const std::string text = win32::systemText(static_cast<std::uint32_t>(result));
    char number[16];
    std::snprintf(number, sizeof number, "0x%08lX", static_cast<unsigned long>(result));
    return text.empty() ? std::string("Automationsfejl ") + number : text;
}

}  // namespace pravelo::platform::word
