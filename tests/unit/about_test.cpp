#include <gtest/gtest.h>

#include "about/frm_about.h"
#include "fake_platform.h"

namespace pravelo {
namespace {

using platform::Registry;

const std::string kMsinfo = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kLocation = "SOFTWARE\\Microsoft\\Shared Tools Location";
const std::string kUnavailable = "System Information Is Unavailable At This Time";

class FakeAboutForm : public platform::AboutForm {
  public:
    std::string caption, title, version;
    bool unloaded = false;
    void setCaption(const std::string& c) override { caption = c; }
    void setTitle(const std::string& t) override { title = t; }
    void setVersion(const std::string& v) override { version = v; }
    void unload() override { unloaded = true; }
};

class AboutTest : public ::testing::Test {
  protected:
    std::vector<std::string> messages() {
        std::vector<std::string> texts;
        for (const auto& m : fake.messages.shown) texts.push_back(m.text);
        return texts;
    }
    fakes::FakePlatform fake;
    FakeAboutForm form;
    about::frmAbout about{form, fake.platform};
};

TEST_F(AboutTest, LoadingFillsCaptionAndLabels) {
    about.Form_Load();
    EXPECT_EQ(form.caption, "Om Pravelo");
    EXPECT_EQ(form.version, "Version 1.3.7");
    EXPECT_EQ(form.title, "Pravelo");
    about.cmdOK_Click();
    EXPECT_TRUE(form.unloaded);
}

TEST_F(AboutTest, KeyValueReading) {
    std::string value = "før";
    EXPECT_FALSE(about.GetKeyValue(Registry::LocalMachine, "mangler", "PATH", value));
    EXPECT_EQ(value, "");

    fake.registry.setText(kMsinfo, "PATH", "/usr/bin/info", true);
    fake.registry.setText(kMsinfo, "UDEN", "/usr/bin/info", false);
    value = "før";
    EXPECT_FALSE(about.GetKeyValue(Registry::LocalMachine, kMsinfo, "ANDEN", value));
    EXPECT_EQ(value, "");
    EXPECT_TRUE(about.GetKeyValue(Registry::LocalMachine, kMsinfo, "PATH", value));
    EXPECT_EQ(value, "/usr/bin/info");  // the terminator, and only it, is dropped
    EXPECT_TRUE(about.GetKeyValue(Registry::LocalMachine, kMsinfo, "UDEN", value));
    EXPECT_EQ(value, "/usr/bin/info");
    EXPECT_EQ(fake.registry.accessAsked.back(), 0x2003Fu);
    EXPECT_EQ(fake.registry.open, 0);
}

TEST_F(AboutTest, ValueSizesAndTypes) {
    std::string value;
    fake.registry.setText(kMsinfo, "LANG", std::string(1023, 'x'), true);
    EXPECT_TRUE(about.GetKeyValue(Registry::LocalMachine, kMsinfo, "LANG", value));
    EXPECT_EQ(value.size(), 1023u);
    fake.registry.setText(kMsinfo, "FORLANG", std::string(1024, 'x'), true);
    EXPECT_FALSE(about.GetKeyValue(Registry::LocalMachine, kMsinfo, "FORLANG", value));
    EXPECT_EQ(value, "");

    fake.registry.keys[kMsinfo]["TAL"] = {Registry::TypeDword, {0x0B, 0x0A, 0x00, 0x00}};
    EXPECT_TRUE(about.GetKeyValue(Registry::LocalMachine, kMsinfo, "TAL", value));
    EXPECT_EQ(value, "&h000A0B");  // the trailing zero byte goes like a terminator

    fake.registry.keys[kMsinfo]["UDVID"] = {Registry::TypeExpandString, {'a', 0}};
    value = "før";
    EXPECT_TRUE(about.GetKeyValue(Registry::LocalMachine, kMsinfo, "UDVID", value));
    EXPECT_EQ(value, "før");

    fake.registry.keys[kMsinfo]["TOM"] = {Registry::TypeString, {}};
    EXPECT_THROW(about.GetKeyValue(Registry::LocalMachine, kMsinfo, "TOM", value), platform::Error);
    EXPECT_EQ(fake.registry.open, 0);
}

TEST_F(AboutTest, ToolPathIsStartedUncheckedAndAFailedStartIsReported) {
    fake.registry.setText(kMsinfo, "PATH", "/findes/ikke");
    about.cmdSysInfo_Click();
    EXPECT_EQ(fake.processes.programs, std::vector<std::string>{"/findes/ikke"});
    EXPECT_TRUE(messages().empty());
    fake.processes.fail = true;
    about.StartSysInfo();
    EXPECT_EQ(messages(), std::vector<std::string>{kUnavailable});
    EXPECT_EQ(fake.messages.shown[0].icon, platform::MessageIcon::None);
    EXPECT_EQ(fake.messages.shown[0].title, "Pravelo");
    EXPECT_FALSE(form.unloaded);
}

TEST_F(AboutTest, FolderLookupNeedsTheFile) {
    fake.registry.setText(kLocation, "MSINFO", "/opt/info");
    about.StartSysInfo();
    EXPECT_EQ(messages(), std::vector<std::string>{kUnavailable});
    fake.files.files["/opt/info/MSINFO32.EXE"] = "";
    about.StartSysInfo();
    EXPECT_EQ(fake.processes.programs, std::vector<std::string>{"/opt/info/MSINFO32.EXE"});
}

TEST_F(AboutTest, NothingFoundOrUnusableValuesGiveTheMessage) {
    about.StartSysInfo();  // no keys at all
    fake.registry.keys[kMsinfo]["PATH"] = {Registry::TypeExpandString, {'/', 'x', 0}};
    about.StartSysInfo();  // read, but empty: the start fails
    fake.registry.keys[kMsinfo]["PATH"] = {Registry::TypeString, {}};
    fake.registry.setText(kLocation, "MSINFO", "/opt/info");
    fake.files.files["/opt/info/MSINFO32.EXE"] = "";
    about.StartSysInfo();  // no data stops the lookup at once
    EXPECT_EQ(messages(), std::vector<std::string>(3, kUnavailable));
    EXPECT_EQ(fake.processes.programs, std::vector<std::string>{""});
}

}  // namespace
}  // namespace pravelo
