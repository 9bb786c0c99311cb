// Where the settings file and the log live: beside the program when its folder
// can be written, in the user's own folder for an installed copy.
#include <gtest/gtest.h>

#include "common/commen_functions.h"
#include "fake_platform.h"
#include "main_window/frm_list_mine_filer.h"
#include "settings/settings.h"
#include "word_engine/doo_with_file.h"

namespace pravelo {
namespace {

const std::string kDefaults =
    "08-12-2026, 14:07:09, "
    "\r\n[Makro]\r\nMOLVARIKtilret\r\n\r\n[DocType]\r\n*.doc\r\n*.dot\r\n\r\n\r\n";
const std::string kUserFolder = "/home/bruger/.config/Pravelo/";

class SettingsLocationTest : public ::testing::Test {
  protected:
    fakes::FakePlatform fake;
    common::CommenFunctions common{fake.platform};
    settings::Settings settings{fake.platform, common};
    word_engine::DooWithFile worker{fake.platform, settings};
    main_window::frmListMineFiler window{fake.platform, settings, common, worker};

    // Starts, logs one failure and opens both files, as a user would.
    void startLogAndOpenBoth() {
        window.Form_Load();
        worker.WriteLogLine("5174, /home/bruger/a.doc, Filen blev ikke fundet");
        window.mnuVormixErrLog_Click();
        window.mnuVormixSettings_Click();
    }
    bool besideProgram(const std::string& extension) {
        return fake.files.files.count(fake.machine.exeFolder + "/Pravelo" + extension) > 0;
    }
};

TEST_F(SettingsLocationTest, WritableUnmarkedFolderKeepsBothFilesBesideTheProgram) {
    startLogAndOpenBoth();
    EXPECT_EQ(fake.files.files.at(fake.settingsPath()), kDefaults);
    EXPECT_TRUE(besideProgram(".log"));
    EXPECT_EQ(fake.processes.editorPaths,
              (std::vector<std::string>{fake.logPath(), fake.settingsPath()}));
    EXPECT_TRUE(fake.files.madeFolders.empty());
    EXPECT_EQ(settings.GetSettingValue("SysPath"), "/opt/pravelo/");
}

TEST_F(SettingsLocationTest, InstalledCopyKeepsBothFilesInTheUsersFolder) {
    fake.installed();
    startLogAndOpenBoth();
    EXPECT_EQ(fake.files.files.at(fake.userFile(".dll")), kDefaults);
    EXPECT_EQ(fake.files.files.at(fake.userFile(".log")),
              "08-12-2026, 14:07:09, 5174, /home/bruger/a.doc, Filen blev ikke fundet\r\n");
    EXPECT_FALSE(besideProgram(".dll"));
    EXPECT_FALSE(besideProgram(".log"));
    EXPECT_EQ(fake.processes.editorPaths,
              (std::vector<std::string>{fake.userFile(".log"), fake.userFile(".dll")}));
    EXPECT_EQ(fake.form.text1.value, "MOLVARIKtilret");
    EXPECT_EQ(fake.form.combo1.items, (std::vector<std::string>{"*.doc", "*.dot"}));
    // "SysPath" still names the program's folder.
    EXPECT_EQ(settings.GetSettingValue("SysPath"), "/opt/pravelo/");
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(SettingsLocationTest, EitherAMarkOrAnUnwritableFolderChoosesTheUsersFolder) {
    // Run by root: the installed folder can be written, but the mark keeps it clean.
    fake.files.files["/opt/pravelo/Pravelo.installed"] = "";
    window.Form_Load();
    EXPECT_TRUE(fake.files.files.count(fake.userFile(".dll")));
    EXPECT_FALSE(besideProgram(".dll"));

    // A portable copy in a folder the user cannot write.
    fakes::FakePlatform other;
    other.files.unwritable.insert("/opt/pravelo/");
    common::CommenFunctions otherCommon{other.platform};
    settings::Settings otherSettings{other.platform, otherCommon};
    otherSettings.LoadSettings();
    EXPECT_EQ(other.files.files.at(other.userFile(".dll")), kDefaults);
    EXPECT_TRUE(other.messages.shown.empty());
}

TEST_F(SettingsLocationTest, UsersFolderFollowsTheHostsFolderWithOneSeparator) {
    fake.machine.configFolder = "/srv/konfig/";
    fake.files.absent = {"/srv/konfig/Pravelo/"};
    fake.installed();
    settings.LoadSettings();
    EXPECT_TRUE(fake.files.files.count("/srv/konfig/Pravelo/Pravelo.dll"));
    EXPECT_EQ(settings.FilePath(".log"), "/srv/konfig/Pravelo/Pravelo.log");
}

TEST_F(SettingsLocationTest, AdministratorsFileIsTheDefaultAndIsCopiedBeforeItIsEdited) {
    const std::string administrators = "stempel\r\n[Makro]\r\nFirmaMakro\r\n[DocType]\r\n*.rtf\r\n";
    fake.files.files[fake.settingsPath()] = administrators;
    fake.installed();
    window.Form_Load();
    EXPECT_EQ(fake.form.text1.value, "FirmaMakro");
    EXPECT_EQ(fake.form.combo1.items, (std::vector<std::string>{"*.rtf"}));
    EXPECT_FALSE(fake.files.files.count(fake.userFile(".dll")));

    window.mnuVormixSettings_Click();
    window.mnuVormixSettings_Click();
    EXPECT_EQ(fake.files.files.at(fake.userFile(".dll")), administrators);
    EXPECT_EQ(fake.files.files.at(fake.settingsPath()), administrators);
    EXPECT_EQ(fake.processes.editorPaths,
              (std::vector<std::string>{fake.userFile(".dll"), fake.userFile(".dll")}));
    EXPECT_TRUE(fake.messages.shown.empty());

    // The next start reads the user's copy, which they may since have changed.
    fake.files.files[fake.userFile(".dll")] = "[Makro]\r\nMinEgen\r\n";
    settings::Settings next{fake.platform, common};
    next.LoadSettings();
    EXPECT_EQ(next.GetSettingValue("MNavn"), "MinEgen");
}

TEST_F(SettingsLocationTest, UsersOwnFileWinsAndAnUnreadableAdministratorsFileIsIgnored) {
    fake.installed();
    fake.files.files[fake.settingsPath()] = "[Makro]\r\nFirmaMakro\r\n";
    fake.files.files[fake.userFile(".dll")] = "[Makro]\r\nMinEgen\r\n";
    fake.files.absent.clear();
    settings.LoadSettings();
    EXPECT_EQ(settings.GetSettingValue("MNavn"), "MinEgen");

    fakes::FakePlatform other;
    other.installed();
    other.files.files[other.settingsPath()] = "[Makro]\r\nFirmaMakro\r\n";
    other.files.unreadable.insert(other.settingsPath());
    common::CommenFunctions otherCommon{other.platform};
    settings::Settings otherSettings{other.platform, otherCommon};
    otherSettings.LoadSettings();
    EXPECT_EQ(other.files.files.at(other.userFile(".dll")), kDefaults);
    EXPECT_EQ(otherSettings.GetSettingValue("MNavn"), "MOLVARIKtilret");
    EXPECT_EQ(other.files.files.at(other.settingsPath()), "[Makro]\r\nFirmaMakro\r\n");
}

TEST_F(SettingsLocationTest, FailedCopyIsToldAndTheAdministratorsFileOpensWhereItIs) {
    fake.files.files[fake.settingsPath()] = "[Makro]\r\nFirmaMakro\r\n";
    fake.installed();
    fake.files.unwritable.insert(kUserFolder);
    window.Form_Load();
    EXPECT_TRUE(fake.messages.shown.empty());
    window.mnuVormixSettings_Click();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_NE(fake.messages.shown[0].text.find(kUserFolder), std::string::npos);
    EXPECT_EQ(fake.processes.editorPaths, (std::vector<std::string>{fake.settingsPath()}));
    EXPECT_EQ(fake.files.files.at(fake.settingsPath()), "[Makro]\r\nFirmaMakro\r\n");
}

TEST_F(SettingsLocationTest, UserFolderThatCannotBeFoundIsToldOnceAtStartUp) {
    fake.machine.configFolder.clear();
    fake.installed();
    window.Form_Load();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, "Brugerens mappe kan ikke findes");
    EXPECT_EQ(fake.form.text1.value, "");
    // Nothing is written into the installed folder.
    EXPECT_FALSE(besideProgram(".dll"));
}

}  // namespace
}  // namespace pravelo
