#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "about/frm_about.h"
#include "fake_platform.h"
#include "platform/win32/win32_registry.h"

namespace pravelo::platform::win32 {
namespace {

constexpr std::uint32_t kAccess = 0x2003F;

// A key of its own under HKEY_LOCAL_MACHINE, where the program looks, removed afterwards.
class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        subKey_ = "SOFTWARE\\PraveloTest" + std::to_string(GetCurrentProcessId());
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, subKey_.c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key_, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        RegCloseKey(key_);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, subKey_.c_str());
    }
    void set(const char* name, DWORD type, const std::string& bytes) {
        ASSERT_EQ(RegSetValueExA(key_, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
    }
    // Reads one value as the About dialog does: a 1024-byte buffer, all zero.
    std::int32_t query(const std::string& name, std::uint32_t& type, std::string& data,
                       unsigned char fill = 0) {
        Registry::Key key = 0;
        const std::int32_t opened =
            registry_.openKey(Registry::LocalMachine, subKey_, 0, kAccess, key);
        if (opened != 0) return opened;
        std::vector<unsigned char> buffer(1024, fill);
        std::uint32_t size = 1024;
        const std::int32_t status = registry_.queryValue(key, name, type, buffer.data(), size);
        data.assign(buffer.begin(), buffer.begin() + (status == 0 ? size : 1024));
        EXPECT_EQ(registry_.closeKey(key), 0);
        return status;
    }

    Win32Registry registry_;
    std::string subKey_;
    HKEY key_ = nullptr;
};

TEST_F(RegistryTest, TextLengthCountsItsTerminatingZero) {
    set("PATH", REG_SZ, std::string("C:\\Tools\\MSINFO32.EXE\0", 22));
    std::uint32_t type = 0;
    std::string data;
    ASSERT_EQ(query("path", type, data), 0);  // names ignore case
    EXPECT_EQ(type, Registry::TypeString);
    EXPECT_EQ(data, std::string("C:\\Tools\\MSINFO32.EXE\0", 22));
}

TEST_F(RegistryTest, TooLongForTheBufferIsMoreDataAndLeavesTheBuffer) {
    set("PATH", REG_SZ, std::string(1024, 'x') + '\0');
    std::uint32_t type = 0;
    std::string data;
    EXPECT_EQ(query("PATH", type, data, 0xAA), ERROR_MORE_DATA);
    EXPECT_EQ(data, std::string(1024, '\xAA'));
}

TEST_F(RegistryTest, TextStoredWithoutZeroComesBackUnterminated) {
    // Only the wide call stores a text exactly as given.
    const std::wstring text = L"C:\\Tools\\x.exe";
    ASSERT_EQ(RegSetValueExW(key_, L"PATH", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                             static_cast<DWORD>(text.size() * sizeof(wchar_t))),
              ERROR_SUCCESS);
    std::uint32_t type = 0;
    std::string data;
    ASSERT_EQ(query("PATH", type, data, 0xAA), 0);
    // Windows leaves it so; Wine adds a zero byte and counts it. Either way
    // the length covers exactly the text read, never the untouched buffer.
    EXPECT_TRUE(data == "C:\\Tools\\x.exe" || data == std::string("C:\\Tools\\x.exe\0", 15))
        << data;
}

TEST_F(RegistryTest, MissingKeyOrValueIsTwo) {
    std::uint32_t type = 0;
    std::string data;
    EXPECT_EQ(query("MSINFO", type, data), ERROR_FILE_NOT_FOUND);
    Registry::Key key = 0;
    EXPECT_EQ(registry_.openKey(Registry::LocalMachine, subKey_ + "\\mangler", 0, kAccess, key),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, AnsiTextComesBackAsUtf8) {
    set("PATH", REG_SZ, std::string("C:\\V\xE6rkt\xF8j\\x.exe\0", 17));
    std::uint32_t type = 0;
    std::string data;
    ASSERT_EQ(query("PATH", type, data), 0);
    if (GetACP() == 1252) {
        EXPECT_EQ(data, std::string("C:\\Værktøj\\x.exe\0", 19));
    }
}

class SilentAboutForm : public AboutForm {
  public:
    void setCaption(const std::string&) override {}
    void setTitle(const std::string&) override {}
    void setVersion(const std::string&) override {}
    void unload() override {}
};

// The About dialog's lookup over the real registry: a DWORD, an expandable
// text, and a plain text with and without its zero byte.
TEST_F(RegistryTest, AboutDialogReadsThroughTheRealRegistry) {
    fakes::FakePlatform fake;
    Win32Registry registry;
    Platform platform{fake.version, fake.machine, fake.files,     fake.messages,
                      fake.form,    fake.office,  fake.processes, registry};
    SilentAboutForm form;
    about::frmAbout dialog(form, platform);
    const DWORD number = 0x01020304;
    set("Tal", REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 4));
    set("Udvidet", REG_EXPAND_SZ, std::string("%SystemRoot%\0", 13));
    set("Med", REG_SZ, std::string("abc\0", 4));
    const std::wstring bare = L"abc";
    RegSetValueExW(key_, L"Uden", 0, REG_SZ, reinterpret_cast<const BYTE*>(bare.data()), 6);
    std::string value = "før";
    EXPECT_TRUE(dialog.GetKeyValue(Registry::LocalMachine, subKey_, "Tal", value));
    EXPECT_EQ(value, "&h01020304");
    value = "før";
    EXPECT_TRUE(dialog.GetKeyValue(Registry::LocalMachine, subKey_, "Udvidet", value));
    EXPECT_EQ(value, "før");
    EXPECT_TRUE(dialog.GetKeyValue(Registry::LocalMachine, subKey_, "Med", value));
    EXPECT_EQ(value, "abc");
    EXPECT_TRUE(dialog.GetKeyValue(Registry::LocalMachine, subKey_, "Uden", value));
    EXPECT_EQ(value, "abc");
    EXPECT_FALSE(dialog.GetKeyValue(Registry::LocalMachine, subKey_, "Mangler", value));
    EXPECT_EQ(value, "");
}

}  // namespace
}  // namespace pravelo::platform::win32
