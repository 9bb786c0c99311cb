#include "settings/settings.h"

#include <gtest/gtest.h>

#include "common/commen_functions.h"
#include "fake_platform.h"

namespace pravelo {
namespace {

using fakes::FakePlatform;
using platform::MessageIcon;

const std::string kDefaults =
    "08-12-2026, 14:07:09, "
    "\r\n[Makro]\r\nMOLVARIKtilret\r\n\r\n[DocType]\r\n*.doc\r\n*.dot\r\n\r\n\r\n";

class SettingsTest : public ::testing::Test {
  protected:
    FakePlatform fake;
    common::CommenFunctions common{fake.platform};
    settings::Settings settings{fake.platform, common};

    // Readers find the file through "SysPath", which only loading sets.
    void withFile(const std::string& text) {
        if (settings.GetSettingValue("SysPath").empty()) {
            fake.files.files[fake.settingsPath()] = "";
            settings.LoadSettings();
        }
        fake.files.files[fake.settingsPath()] = text;
    }
    std::vector<std::string> docTypes() {
        settings.ReadSettingsSection(2);
        return fake.form.combo1.items;
    }
};

TEST_F(SettingsTest, StoreKeysAreExactAndEmptyBeforeLoading) {
    EXPECT_EQ(settings.GetSettingValue("MNavn"), "");
    EXPECT_EQ(settings.GetSettingValue("SysPath"), "");
    settings.SetMacroName("  Navn med blanke ");
    EXPECT_EQ(settings.GetSettingValue("MNavn"), "  Navn med blanke ");
    EXPECT_EQ(settings.GetSettingValue("mnavn"), "");
    EXPECT_EQ(settings.GetSettingValue("SYSPATH"), "");
    EXPECT_EQ(settings.GetSettingValue(""), "");
    settings.SetMacroName("");
    EXPECT_EQ(settings.GetSettingValue("MNavn"), "");
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(SettingsTest, SysPathEndsInOneSeparator) {
    withFile("[Makro]\r\nM\r\n");
    settings.LoadSettings();
    EXPECT_EQ(settings.GetSettingValue("SysPath"), "/opt/pravelo/");

    FakePlatform root;
    root.machine.exeFolder = "/";
    root.files.files["/Pravelo.dll"] = "[Makro]\r\nM\r\n";
    common::CommenFunctions rootCommon{root.platform};
    settings::Settings rootSettings{root.platform, rootCommon};
    rootSettings.LoadSettings();
    EXPECT_EQ(rootSettings.GetSettingValue("SysPath"), "/");
    EXPECT_EQ(rootSettings.GetSettingValue("MNavn"), "M");
}

TEST_F(SettingsTest, MissingFileIsWrittenWithTheNineDefaultLinesAndReadBack) {
    settings.LoadSettings();
    EXPECT_EQ(fake.files.files.at(fake.settingsPath()), kDefaults);
    EXPECT_EQ(settings.GetSettingValue("MNavn"), "MOLVARIKtilret");
    EXPECT_EQ(docTypes(), (std::vector<std::string>{"*.doc", "*.dot"}));
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(SettingsTest, ExistingFileIsNeverChanged) {
    const std::string text = "[Makro]\nMinMakro\n";
    withFile(text);
    settings.LoadSettings();
    settings.ReadSettingsSection(2);
    EXPECT_EQ(fake.files.files.at(fake.settingsPath()), text);
    EXPECT_EQ(settings.GetSettingValue("MNavn"), "MinMakro");
}

TEST_F(SettingsTest, UnreadableFileCountsAsMissingAndGetsTheDefaultsAppended) {
    withFile("gammelt indhold\r\n");
    fake.files.unreadable.insert(fake.settingsPath());
    settings.LoadSettings();
    EXPECT_EQ(fake.files.files.at(fake.settingsPath()), "gammelt indhold\r\n" + kDefaults);
    // The file still cannot be read, so the name read fails with one message.
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(settings.GetSettingValue("MNavn"), "");
}

TEST_F(SettingsTest, UnwritableProgramAndUserFoldersGiveOneMessageAndAnEmptyName) {
    fake.files.unwritable.insert("/opt/pravelo/");
    fake.files.unwritable.insert("/home/bruger/.config/Pravelo/");
    settings.LoadSettings();
    settings.ReadSettingsSection(2);  // start-up reads the types next
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_NE(fake.messages.shown[0].text.find("/home/bruger/.config/Pravelo/"), std::string::npos);
    EXPECT_EQ(fake.messages.shown[0].icon, MessageIcon::None);
    EXPECT_EQ(fake.messages.shown[0].title, "Pravelo");
    EXPECT_EQ(settings.GetSettingValue("MNavn"), "");
    EXPECT_EQ(settings.GetSettingValue("SysPath"), "/opt/pravelo/");
    EXPECT_TRUE(fake.form.combo1.items.empty());
}

TEST_F(SettingsTest, SettingsPathThatIsAFolderIsReportedNotCrashed) {
    fake.files.folders.insert(fake.settingsPath());
    settings.LoadSettings();
    settings.ReadSettingsSection(2);
    EXPECT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(settings.GetSettingValue("MNavn"), "");
}

TEST_F(SettingsTest, MacroNameIsTheLineAfterTheFirstHead) {
    withFile("stamp\r\nnoget\r\n[Makro]\r\n  Navn  \r\n[Makro]\r\nAndet\r\n");
    EXPECT_EQ(settings.ReadSettingsSection(1), "  Navn  ");
    withFile("[Makro]\r\n\r\n[DocType]\r\n");
    EXPECT_EQ(settings.ReadSettingsSection(1), "");
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(SettingsTest, HeadsMustMatchExactly) {
    withFile(
        "[makro]\r\nA\r\n [Makro]\r\nB\r\n[Makro] \r\nC\r\n[doctype]\r\n*.x\r\n "
        "[DocType]\r\n*.y\r\n");
    EXPECT_EQ(settings.ReadSettingsSection(1), "");
    EXPECT_TRUE(docTypes().empty());
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(SettingsTest, MacroHeadOnTheLastLineGivesOneMessageAndNoName) {
    withFile("stamp\r\n[Makro]");
    EXPECT_EQ(settings.ReadSettingsSection(1), "");
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, "Læsning forbi slutningen af filen");

    fake.messages.shown.clear();
    withFile("stamp\r\n[Makro]\r\n");
    settings.LoadSettings();
    EXPECT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(settings.GetSettingValue("MNavn"), "");
}

TEST_F(SettingsTest, FilterListRules) {
    // Empty lines before the head end nothing; a second head and a macro block
    // inside the list are filters; duplicates stay; the list runs to the file's end.
    withFile("\r\n\r\n[DocType]\r\n*.doc\r\n[DocType]\r\n[Makro]\r\nX\r\n*.doc\r\n*.rtf");
    EXPECT_EQ(docTypes(),
              (std::vector<std::string>{"*.doc", "[DocType]", "[Makro]", "X", "*.doc", "*.rtf"}));
}

TEST_F(SettingsTest, FilterListEndsAtTheFirstEmptyLineAndOnlyTheFirstListCounts) {
    withFile("[DocType]\r\n*.doc\r\n\r\n*.txt\r\n[DocType]\r\n*.odt\r\n");
    EXPECT_EQ(docTypes(), std::vector<std::string>{"*.doc"});
    fake.form.combo1.items = {"før"};
    withFile("[DocType]\r\n\r\n*.doc\r\n");
    EXPECT_EQ(docTypes(), std::vector<std::string>{"før"});  // appended to, never cleared
}

TEST_F(SettingsTest, OtherSectionNumbersTouchNoFile) {
    withFile("[Makro]\r\nA\r\n");
    const int before = fake.files.opens;
    EXPECT_EQ(settings.ReadSettingsSection(0), "");
    EXPECT_EQ(settings.ReadSettingsSection(3), "");
    EXPECT_EQ(settings.ReadSettingsSection(-1), "");
    EXPECT_EQ(fake.files.opens, before);
}

TEST_F(SettingsTest, AFileThatCannotBeOpenedIsReportedOnce) {
    withFile("[Makro]\r\nM\r\n");
    fake.files.files.erase(fake.settingsPath());
    EXPECT_EQ(settings.ReadSettingsSection(1), "");
    EXPECT_EQ(settings.ReadSettingsSection(2), "");
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, "Filen blev ikke fundet");
}

TEST_F(SettingsTest, BinaryAndLongContentReadsWithoutFuss) {
    std::string binary;
    for (int i = 0; i < 2048; ++i) binary += static_cast<char>(i % 256);
    withFile(binary + "\r\n[Makro]\r\n" + std::string(200000, 'x') + "\r\n");
    // A line is read up to 4 KiB.
    EXPECT_EQ(settings.ReadSettingsSection(1), std::string(4096, 'x'));
    EXPECT_TRUE(docTypes().empty());
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(SettingsTest, MillionsOfLinesAreReadOnlyAsFarAsTheCap) {
    std::string lines = "[DocType]\r\n";
    for (int i = 0; i < 2'000'000; ++i) lines += "*.x\r\n";
    withFile(lines + "[Makro]\r\nForSent\r\n");
    // The head and 4095 filters make the 4096 lines one reading takes.
    EXPECT_EQ(docTypes().size(), 4095u);
    EXPECT_EQ(fake.form.combo1.items.back(), "*.x");
    EXPECT_EQ(settings.ReadSettingsSection(1), "");
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(SettingsTest, AnOverlongLineCountsAsSeveralLines) {
    withFile(std::string(3 * 4096 + 10, 'y') + "\r\n[Makro]\r\nNavn\r\n[DocType]\r\n" +
             std::string(4096, 'p') + "\r\n*.doc\r\n");
    EXPECT_EQ(settings.ReadSettingsSection(1), "Navn");
    EXPECT_EQ(docTypes(), (std::vector<std::string>{std::string(4096, 'p'), "*.doc"}));
}

}  // namespace
}  // namespace pravelo
