#include <gtest/gtest.h>
#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/win32/text_convert.h"
#include "win32_test_support.h"
#include "word_stand_in/stand_in_word.h"

namespace pravelo::platform::win32::testing {
namespace {

VARIANT text(const std::string& value) {
    VARIANT v{};
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(toWide(value).c_str());
    return v;
}

VARIANT number(long value) {
    VARIANT v{};
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT boolean(bool value) {
    VARIANT v{};
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

// Calls the way a compiled client does: names looked up with the member, arguments last-first.
HRESULT call(IDispatch* object, const wchar_t* member, WORD flags,
             std::vector<VARIANT> positional = {},
             std::vector<std::pair<const wchar_t*, VARIANT>> named = {}, VARIANT* result = nullptr,
             EXCEPINFO* exception = nullptr) {
    std::vector<LPOLESTR> names = {const_cast<LPOLESTR>(member)};
    for (auto& argument : named) names.push_back(const_cast<LPOLESTR>(argument.first));
    std::vector<DISPID> ids(names.size());
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names.data(), static_cast<UINT>(names.size()),
                                       LOCALE_USER_DEFAULT, ids.data());
    if (FAILED(hr)) return hr;

    std::vector<VARIANT> arguments;
    std::vector<DISPID> namedIds;
    for (std::size_t i = named.size(); i-- > 0;) {
        arguments.push_back(named[i].second);
        namedIds.push_back(ids[i + 1]);
    }
    for (std::size_t i = positional.size(); i-- > 0;) arguments.push_back(positional[i]);
    if (flags == DISPATCH_PROPERTYPUT) namedIds = {DISPID_PROPERTYPUT};
    DISPPARAMS params{arguments.data(), namedIds.data(), static_cast<UINT>(arguments.size()),
                      static_cast<UINT>(namedIds.size())};
    EXCEPINFO ignored{};
    hr = object->Invoke(ids[0], IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                        exception ? exception : &ignored, nullptr);
    for (auto& argument : arguments) VariantClear(&argument);
    if (!exception) {
        SysFreeString(ignored.bstrSource);
        SysFreeString(ignored.bstrDescription);
    }
    return hr;
}

IDispatch* get(IDispatch* object, const wchar_t* property) {
    VARIANT result{};
    const HRESULT hr =
        call(object, property, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, {}, &result);
    EXPECT_EQ(hr, S_OK) << property;
    return result.vt == VT_DISPATCH ? result.pdispVal : nullptr;
}

std::vector<std::string> lines(const std::string& bytes) {
    std::vector<std::string> found;
    for (std::size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        found.push_back(bytes.substr(start, end - start));
    }
    return found;
}

class WordStandInTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        registerWordStandIn(wordStandInPath());
        // The server inherits this under Wine.
        SetEnvironmentVariableW(pravelo::testing::word_stand_in::kRecordVariable,
                                toWide(record_).c_str());
        CLSID classId{};
        CLSIDFromString(pravelo::testing::word_stand_in::kClassId, &classId);
        ASSERT_EQ(CoCreateInstance(classId, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                   reinterpret_cast<void**>(&word_)),
                  S_OK);
    }
    void TearDown() override {
        if (word_) word_->Release();
        unregisterWordStandIn();
        SetEnvironmentVariableW(pravelo::testing::word_stand_in::kRecordVariable, nullptr);
        CoUninitialize();
    }

    // The record once the server has written its last line.
    std::vector<std::string> finalRecord() {
        for (int waited = 0; waited < 5000; waited += 50) {
            const std::string bytes = readBytes(record_);
            if (bytes.ends_with(" exit\r\n")) return lines(bytes);
            Sleep(50);
        }
        return lines(readBytes(record_));
    }

    TempFolder folder_;
    std::string record_ = folder_ / "record.txt";
    IDispatch* word_ = nullptr;
};

TEST_F(WordStandInTest, RecordsCallsAndEditsTheSavedDocument) {
    const std::string document = folder_ / "brev.doc";
    writeBytes(document, "Tekst\r\n");

    EXPECT_EQ(call(word_, L"visible", DISPATCH_PROPERTYPUT, {boolean(false)}), S_OK);
    IDispatch* documents = get(word_, L"Documents");
    ASSERT_NE(documents, nullptr);
    VARIANT opened{};
    EXPECT_EQ(
        call(documents, L"Open", DISPATCH_METHOD, {text(document)},
             {{L"ConfirmConversions", boolean(false)}, {L"PasswordDocument", text("x")}}, &opened),
        S_OK);
    VariantClear(&opened);
    documents->Release();
    EXPECT_EQ(call(word_, L"Run", DISPATCH_METHOD, {text("Modul.Makro")}), S_OK);
    IDispatch* active = get(word_, L"ActiveDocument");
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(call(active, L"Close", DISPATCH_METHOD, {}, {{L"SaveChanges", number(-1)}}), S_OK);
    active->Release();
    EXPECT_EQ(call(word_, L"Quit", DISPATCH_METHOD), S_OK);
    word_->Release();
    word_ = nullptr;

    const std::vector<std::string> record = finalRecord();
    ASSERT_EQ(record.size(), 9u);
    const std::string pid = record[0].substr(0, record[0].find(' '));
    const std::vector<std::string> expected = {
        "start",
        "Application.Visible = False",
        "Application.Documents",
        "Documents.Open \"" + document + "\", ConfirmConversions:=False, PasswordDocument:=\"x\"",
        "Application.Run \"Modul.Makro\"",
        "Application.ActiveDocument",
        "Document.Close SaveChanges:=-1",
        "Application.Quit",
        "exit"};
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(record[i], pid + " " + expected[i]);
    EXPECT_EQ(readBytes(document), "Tekst\r\nMakro Modul.Makro\r\n");
}

TEST_F(WordStandInTest, MissingFileRaisesTheWordError) {
    IDispatch* documents = get(word_, L"Documents");
    ASSERT_NE(documents, nullptr);
    EXCEPINFO exception{};
    EXPECT_EQ(call(documents, L"Open", DISPATCH_METHOD, {text(folder_ / "mangler.doc")}, {},
                   nullptr, &exception),
              DISP_E_EXCEPTION);
    EXPECT_EQ(static_cast<unsigned long>(exception.scode), 0x800A1436ul);
    EXPECT_EQ(exception.wCode, 0);
    EXPECT_STREQ(exception.bstrSource, L"Microsoft Word");
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    documents->Release();
    EXPECT_EQ(call(word_, L"Quit", DISPATCH_METHOD, {}, {{L"SaveChanges", number(0)}}), S_OK);
}

}  // namespace
}  // namespace pravelo::platform::win32::testing
