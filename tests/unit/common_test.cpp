#include <gtest/gtest.h>

#include <regex>

#include "common/commen_functions.h"
#include "fake_platform.h"

namespace pravelo {
namespace {

using common::CommenFunctions;

TEST(StripQuotes, RemovesBlanksThenOnePairOfQuotes) {
    EXPECT_EQ(CommenFunctions::StripQuotes("  \"/a b/c.dll\"  "), "/a b/c.dll");
    EXPECT_EQ(CommenFunctions::StripQuotes("\"/a b/c.dll"), "\"/a b/c.dll");
    EXPECT_EQ(CommenFunctions::StripQuotes("\""), "\"");
    EXPECT_EQ(CommenFunctions::StripQuotes("\"\""), "");
    EXPECT_EQ(CommenFunctions::StripQuotes(""), "");
    EXPECT_EQ(CommenFunctions::StripQuotes("   "), "");
    EXPECT_EQ(CommenFunctions::StripQuotes("\"\"x\"\""), "\"x\"");
    EXPECT_EQ(CommenFunctions::StripQuotes("\" inde \""), " inde ");
    EXPECT_EQ(CommenFunctions::StripQuotes("\tx\t"), "\tx\t");
}

TEST(FileExists, OpensForReadingOnly) {
    fakes::FakePlatform fake;
    fake.files.files["/d/tom.dll"] = "";
    fake.files.files["/d/a b.dll"] = "x";
    fake.files.folders.insert("/d");
    fake.files.unreadable.insert("/d/låst.dll");
    fake.files.files["/d/låst.dll"] = "x";
    CommenFunctions common{fake.platform};

    EXPECT_TRUE(common.FileExists("/d/tom.dll"));
    EXPECT_TRUE(common.FileExists(" \"/d/a b.dll\" "));
    EXPECT_TRUE(common.FileExists("/d/tom.dll/"));
    EXPECT_FALSE(common.FileExists("/d/tom.dll//"));
    EXPECT_FALSE(common.FileExists("/d/mangler.dll"));
    EXPECT_FALSE(common.FileExists("/d"));
    EXPECT_FALSE(common.FileExists("/d/"));
    EXPECT_FALSE(common.FileExists(""));
    EXPECT_FALSE(common.FileExists("/d/låst.dll"));
    EXPECT_EQ(fake.files.files.at("/d/tom.dll"), "");
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(WindowCaption, JoinsNameVersionAndContact) {
    fakes::FakePlatform fake;
    CommenFunctions common{fake.platform};
    EXPECT_EQ(common.BuildWindowCaption(), "Pravelo. R1.3.7 by kontakt@pravelo.example");

    fake.version.revision = 0;
    fake.version.major = 10;
    fake.version.legalCopyright.clear();
    fake.version.companyName.clear();
    EXPECT_EQ(common.BuildWindowCaption(), "Pravelo. R10.3.0 by ");
}

TEST(VersionRecord, NumbersAndContactComeFromTheBuild) {
    const platform::VersionRecord& record = platform::programVersionRecord();
    EXPECT_EQ(record.productName, "Pravelo");
    EXPECT_EQ(std::to_string(record.major) + "." + std::to_string(record.minor) + "." +
                  std::to_string(record.revision),
              PRAVELO_PROJECT_VERSION);
    // 1.3.0.7 is written 1.03.0007.
    EXPECT_TRUE(std::regex_match(record.fileVersionText, std::regex(R"(\d+\.\d\d\.\d{4})")));
    EXPECT_EQ(std::stoi(record.fileVersionText.substr(record.fileVersionText.rfind('.') + 1)),
              record.revision);
    EXPECT_EQ(record.legalCopyright + record.companyName, platform::contactAddress());
    EXPECT_EQ(platform::contactAddress(), "kontakt@pravelo.example");
}

TEST(StatusAndClose, ActOnTheWindowOnly) {
    fakes::FakePlatform fake;
    CommenFunctions common{fake.platform};
    common.ShowStatus("første");
    common.ShowStatus("");
    EXPECT_EQ(fake.form.status.value, "");
    common.ShowStatus("anden");
    EXPECT_EQ(fake.form.status.value, "anden");
    common.CloseProgram();
    EXPECT_TRUE(fake.form.unloaded);
    EXPECT_TRUE(fake.messages.shown.empty());
}

}  // namespace
}  // namespace pravelo
