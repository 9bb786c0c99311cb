#include <gtest/gtest.h>

#include "common/commen_functions.h"
#include "fake_platform.h"
#include "main_window/frm_list_mine_filer.h"
#include "settings/settings.h"
#include "word_engine/doo_with_file.h"

namespace pravelo {
namespace {

using platform::MessageIcon;

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest() {
        fake.form.file1.listings["/home/bruger/dokumenter"] = {"brev.doc", "notat.doc"};
        fake.form.file1.listings["/mnt/usb"] = {"usb.doc"};
    }

    fakes::FakePlatform fake;
    common::CommenFunctions common{fake.platform};
    settings::Settings settings{fake.platform, common};
    word_engine::DooWithFile worker{fake.platform, settings};
    main_window::frmListMineFiler window{fake.platform, settings, common, worker};
};

TEST_F(MainWindowTest, StartUpFillsTheWindowFromAFreshSettingsFile) {
    window.Form_Load();
    EXPECT_TRUE(fake.files.files.count(fake.settingsPath()));
    EXPECT_EQ(fake.form.windowCaption, "Pravelo. R1.3.7 by kontakt@pravelo.example");
    EXPECT_EQ(fake.form.combo1.items, (std::vector<std::string>{"*.doc", "*.dot"}));
    EXPECT_EQ(fake.form.combo1.value, "*.doc");
    EXPECT_EQ(fake.form.dir1.value, "/home/bruger/dokumenter");
    EXPECT_EQ(fake.form.file1.folder, "/home/bruger/dokumenter");
    EXPECT_EQ(fake.form.file1.patternText, "*.doc");
    EXPECT_EQ(fake.form.file1.entries.size(), 2u);
    EXPECT_EQ(fake.form.label1.value, "/home/bruger/dokumenter");
    EXPECT_EQ(fake.form.text1.value, "MOLVARIKtilret");
    EXPECT_EQ(settings.GetSettingValue("MNavn"), "MOLVARIKtilret");
    EXPECT_EQ(fake.form.text2.value, "");
    EXPECT_EQ(fake.form.label4.value,
              "Multi Edit Word Files Via Makro's Stored In A Local Your Normal.dot with Pravelo!");
    EXPECT_EQ(fake.form.status.value, "Velkommen til Pravelo.");
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(MainWindowTest, EmptyTypeSectionLeavesThePatternAsItIs) {
    fake.files.files[fake.settingsPath()] = "[Makro]\r\nM\r\n[DocType]\r\n\r\n";
    window.Form_Load();
    EXPECT_TRUE(fake.form.combo1.items.empty());
    EXPECT_EQ(fake.form.file1.patternText, "*.doc");
}

TEST_F(MainWindowTest, UnreadableWorkingFolderStopsTheRestOfStartUp) {
    fake.form.dir1.unreadable.insert(fake.machine.cwd);
    window.Form_Load();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].icon, MessageIcon::None);
    EXPECT_EQ(fake.messages.shown[0].title, "Pravelo");
    EXPECT_FALSE(fake.form.windowCaption.empty());  // steps before it ran
    EXPECT_EQ(fake.form.text1.value, "");           // steps after it did not
    EXPECT_EQ(fake.form.status.value, "");
}

TEST_F(MainWindowTest, SettingsFailuresDoNotStopStartUp) {
    fake.files.unwritable.insert("/opt/pravelo/");
    fake.files.unwritable.insert("/home/bruger/.config/Pravelo/");
    window.Form_Load();
    EXPECT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.form.text1.value, "");
    EXPECT_EQ(fake.form.status.value, "Velkommen til Pravelo.");
}

TEST_F(MainWindowTest, DriveChangeMovesFolderFilesAndLabelTogether) {
    window.Form_Load();
    fake.form.file1.select({0});
    fake.form.drive1.value = "/mnt/usb";
    window.Drive1_Change();
    EXPECT_EQ(fake.form.dir1.value, "/mnt/usb");
    EXPECT_EQ(fake.form.file1.entries, std::vector<std::string>{"usb.doc"});
    EXPECT_EQ(fake.form.label1.value, "/mnt/usb");
}

TEST_F(MainWindowTest, UnreadableDriveKeepsThePreviousFolder) {
    window.Form_Load();
    fake.form.dir1.unreadable.insert("/media/cdrom");
    fake.form.drive1.value = "/media/cdrom";
    window.Drive1_Change();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.form.dir1.value, "/home/bruger/dokumenter");
    EXPECT_EQ(fake.form.label1.value, "/home/bruger/dokumenter");
    EXPECT_EQ(fake.form.file1.entries.size(), 2u);
    fake.form.drive1.value = "/mnt/usb";
    window.Drive1_Change();
    EXPECT_EQ(fake.form.label1.value, "/mnt/usb");
}

TEST_F(MainWindowTest, FolderThatTheFileListRefusesLeavesTheLabel) {
    window.Form_Load();
    fake.form.file1.unreadable.insert("/root/hemmelig");
    fake.form.dir1.value = "/root/hemmelig";
    window.Dir1_Change();
    EXPECT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.form.label1.value, "/home/bruger/dokumenter");
}

TEST_F(MainWindowTest, PatternChoiceAndMacroBoxFeedTheirTargets) {
    window.Form_Load();
    fake.form.combo1.value = "*.dot";
    window.Combo1_Click();
    EXPECT_EQ(fake.form.file1.patternText, "*.dot");
    fake.form.text1.value = "";
    window.Text1_Change();
    EXPECT_EQ(settings.GetSettingValue("MNavn"), "");
    fake.form.text1.value = "Ny";
    window.Text1_Change();
    EXPECT_EQ(settings.GetSettingValue("MNavn"), "Ny");
    EXPECT_NE(fake.files.files.at(fake.settingsPath()).find("MOLVARIKtilret"), std::string::npos);
}

TEST_F(MainWindowTest, RunButtonStampsButTheMenuEntryDoesNot) {
    window.Form_Load();
    window.mnuVormixStartMakro_Click();
    EXPECT_EQ(fake.form.status.value, "Vælg fil(er)!");
    window.Command1_Click();
    EXPECT_EQ(fake.form.status.value, "Udført! 08-12-2026 14:07:09");

    fake.form.text1.value = "";
    fake.form.status.value = "uændret";
    window.mnuVormixStartMakro_Click();
    EXPECT_EQ(fake.form.status.value, "uændret");
    window.Command1_Click();
    EXPECT_EQ(fake.form.status.value, "Udført! 08-12-2026 14:07:09");
    EXPECT_EQ(fake.messages.shown.size(), 2u);
}

TEST_F(MainWindowTest, ACloseAskedDuringABatchClosesWhenItReturns) {
    window.Form_Load();
    fake.form.file1.select({0, 1});
    fake.form.duringWait = [&] { fake.form.closeAsked = true; };
    for (auto run : {&main_window::frmListMineFiler::Command1_Click,
                     &main_window::frmListMineFiler::mnuVormixStartMakro_Click,
                     &main_window::frmListMineFiler::Command3_Click,
                     &main_window::frmListMineFiler::mnuVormixOpenMyFileFil_Click}) {
        fake.form.unloaded = false;
        fake.form.closeAsked = false;
        (window.*run)();
        EXPECT_TRUE(fake.form.unloaded);
    }
    // Without a close asked for, a batch leaves the window open.
    fake.form.duringWait = nullptr;
    fake.form.unloaded = false;
    fake.form.closeAsked = false;
    window.Command1_Click();
    EXPECT_FALSE(fake.form.unloaded);
}

TEST_F(MainWindowTest, ErrorsEscapingTheOpenRunAreShownNotFatal) {
    window.Form_Load();
    fake.form.file1.select({0});
    fake.office.failOn("open:/home/bruger/dokumenter/brev.doc", 5, "x");
    fake.files.unwritable.insert(fake.logPath());
    fake.messages.onShow = [](const fakes::ShownMessage& m) {
        if (m.icon == MessageIcon::None) throw platform::Error(91, "uventet");
    };
    window.Command3_Click();
    ASSERT_EQ(fake.messages.shown.size(), 2u);
    EXPECT_EQ(fake.messages.shown[1].text, "uventet");
    EXPECT_EQ(fake.messages.shown[1].icon, MessageIcon::Critical);
}

TEST_F(MainWindowTest, CommandsReachTheirTargets) {
    window.Form_Load();
    window.mnuVormixErrLog_Click();
    window.mnuVormixSettings_Click();
    EXPECT_EQ(fake.processes.editorPaths,
              (std::vector<std::string>{"/opt/pravelo/Pravelo.log", "/opt/pravelo/Pravelo.dll"}));
    window.mnuAddButtonToWord_Click();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, "Comming up!");
    EXPECT_EQ(fake.messages.shown[0].icon, MessageIcon::None);
    window.mnuVormixAbout_Click();
    window.mnuVormixAbout_Click();
    EXPECT_EQ(fake.form.aboutShown, 2);
    EXPECT_FALSE(fake.form.unloaded);
    window.mnuVormixAfslut_Click();
    EXPECT_TRUE(fake.form.unloaded);
    fake.form.unloaded = false;
    window.Command2_Click();
    EXPECT_TRUE(fake.form.unloaded);
    EXPECT_EQ(fake.messages.shown.size(), 1u);
}

}  // namespace
}  // namespace pravelo
