#pragma once

#include <oaidl.h>
#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/error.h"

namespace pravelo::platform::word {

// One COM apartment for the calling thread, for as long as it lives. Every
// automation object must be released before it ends, on the same thread.
class ComApartment {
  public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    bool mustUninitialize_ = false;
};

// A VARIANT that clears itself.
class Variant {
  public:
    Variant() { VariantInit(&value_); }
    ~Variant() { VariantClear(&value_); }
    Variant(const Variant& other);
    Variant& operator=(const Variant&) = delete;

    static Variant boolean(bool value);
    static Variant integer(long value);
    static Variant text(const std::string& utf8);

    VARIANT* get() { return &value_; }
    const VARIANT* get() const { return &value_; }

  private:
    VARIANT value_;
};

struct NamedArgument {
    std::wstring name;
    Variant value;
};

// An IDispatch reference, bound late: members are looked up by name on every
// call, so no type library is needed. Failures throw Error.
class Dispatch {
  public:
    Dispatch() = default;
    explicit Dispatch(IDispatch* adopted) : object_(adopted) {}
    Dispatch(const Dispatch& other);
    Dispatch(Dispatch&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }
    Dispatch& operator=(Dispatch other) noexcept;
    ~Dispatch();

    explicit operator bool() const { return object_ != nullptr; }
    void reset();

    void put(const wchar_t* property, const Variant& value) const;
    Dispatch getObject(const wchar_t* property) const;
    std::string getText(const wchar_t* property) const;
    bool getBoolean(const wchar_t* property) const;
    long getInteger(const wchar_t* property) const;
    Dispatch callForObject(const wchar_t* method, const std::vector<Variant>& positional,
                           const std::vector<NamedArgument>& named) const;
    void call(const wchar_t* method, const std::vector<Variant>& positional,
              const std::vector<NamedArgument>& named) const;

  private:
    Variant get(const wchar_t* property) const;
    static Dispatch callResultObject(Variant& result, const wchar_t* member);
    void invoke(const wchar_t* member, WORD flags, const std::vector<Variant>& positional,
                const std::vector<NamedArgument>& named, VARIANT* result) const;

    IDispatch* object_ = nullptr;
};

// The failure as classic automation clients report it: an error raised by
// the server keeps the server's own number and text (a control-facility code
// becomes its low word, 0x800A1436 → 5174); any other failure is the HRESULT.
Error automationError(HRESULT result, EXCEPINFO* raised, const std::wstring& member);

// Word turned the call away while it starts, loads add-ins or shows a dialog;
// the call was not carried out, so it may be made again.
bool rejectedAsBusy(HRESULT result);
bool rejectedAsBusy(const Error& error);

// Our own Danish text for the HRESULTs a client meets when the server is
// missing, busy or gone.
std::string hresultText(HRESULT result);

}  // namespace pravelo::platform::word
