#include <gtest/gtest.h>

#include "common/commen_functions.h"
#include "fake_platform.h"
#include "settings/settings.h"
#include "word_engine/doo_with_file.h"

namespace pravelo {
namespace {

using platform::kBlue;
using platform::kRed;
using platform::MessageIcon;

class BatchRunTest : public ::testing::Test {
  protected:
    BatchRunTest() {
        fake.form.dir1.value = "/data/æøå mappe";
        fake.form.file1.folder = "/data/æøå mappe";
        fake.form.file1.show({"a.doc", "b, & c.doc", "d.doc", "e.doc"});
        fake.form.text1.value = "RetDok";
        fake.files.files[fake.settingsPath()] = "[Makro]\r\nRetDok\r\n";
        settings.LoadSettings();
        fake.form.label4.value = "før";
        fake.form.status.value = "før";
    }
    std::string path(const std::string& name) { return "/data/æøå mappe/" + name; }
    std::vector<std::string> opened() {
        std::vector<std::string> result;
        for (const auto& c : fake.office.calls)
            if (c.rfind("open:", 0) == 0) result.push_back(c.substr(5));
        return result;
    }

    fakes::FakePlatform fake;
    common::CommenFunctions common{fake.platform};
    settings::Settings settings{fake.platform, common};
    word_engine::DooWithFile worker{fake.platform, settings};
};

TEST_F(BatchRunTest, EmptyMacroNameOnlyShowsTheRefusal) {
    fake.form.text1.value = "";
    fake.form.file1.select({0});
    worker.EditSelectedFiles();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, "Indtast makronavn");
    EXPECT_EQ(fake.messages.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(fake.messages.shown[0].title, "Opps somthing is missing");
    EXPECT_EQ(fake.form.focus, "Text1");
    EXPECT_EQ(fake.form.label4.value, "før");
    EXPECT_EQ(fake.form.status.value, "før");
    EXPECT_TRUE(fake.office.calls.empty());
}

TEST_F(BatchRunTest, NothingSelectedGivesTheNoticeWithoutAnOffice) {
    for (bool edit : {true, false}) {
        SCOPED_TRACE(edit);
        edit ? worker.EditSelectedFiles() : worker.OpenSelectedFiles();
        EXPECT_TRUE(fake.office.calls.empty());
        EXPECT_TRUE(fake.form.label4.bold);
        EXPECT_EQ(fake.form.label4.color, kRed);
        EXPECT_EQ(fake.form.status.value, "Vælg fil(er)!");
        EXPECT_EQ(fake.form.label4.value,
                  std::string("Der er ingen valgte filer\r\n") +
                      (edit ? "Vælg fil(er) der skal editeres" : "Vælg fil(er) der skal åbnes."));
        EXPECT_EQ(fake.form.focus, "File1");
        EXPECT_EQ(fake.form.command2.value, "&Annuller");
        EXPECT_FALSE(fake.form.text2.shown);
    }
}

TEST_F(BatchRunTest, EmptyListGivesTheNoticeToo) {
    fake.form.file1.show({});
    worker.EditSelectedFiles();
    EXPECT_EQ(fake.form.status.value, "Vælg fil(er)!");
}

TEST_F(BatchRunTest, OneEditedDocument) {
    fake.form.file1.select({1});
    worker.EditSelectedFiles();
    EXPECT_EQ(opened(), std::vector<std::string>{path("b, & c.doc")});
    EXPECT_EQ(fake.form.label4.color, kBlue);
    EXPECT_EQ(fake.form.label4.value, "1 fil er editeret!\r\nKontroler dokumentet!");
    EXPECT_EQ(fake.form.command2.value, "&Luk");
    EXPECT_EQ(fake.form.focus, "Command2");
    EXPECT_EQ(fake.form.status.value, "Udført! 08-12-2026 14:07:09");
}

TEST_F(BatchRunTest, SeveralEditedDocumentsSkippingUnselectedOnes) {
    fake.form.file1.select({0, 3});
    worker.EditSelectedFiles();
    EXPECT_EQ(opened(), (std::vector<std::string>{path("a.doc"), path("e.doc")}));
    EXPECT_EQ(fake.form.label4.value, "2 filer er editeret!\r\nKontroler dokumenterne!");
    EXPECT_FALSE(fake.form.text2.shown);
}

TEST_F(BatchRunTest, ProgressIsPaintedBeforeEachDocument) {
    fake.form.file1.select({0, 2});
    worker.EditSelectedFiles();
    EXPECT_EQ(fake.form.paintedLabels,
              (std::vector<std::string>{"Der editeres!",
                                        "Editerer " + path("a.doc") + "\r\nVent venligst!",
                                        "Editerer " + path("d.doc") + "\r\nVent venligst!"}));
}

TEST_F(BatchRunTest, OpenedDocumentsCountWithoutTouchingTheCloseButton) {
    fake.form.file1.select({0});
    worker.OpenSelectedFiles();
    EXPECT_EQ(fake.form.status.value, "1 Fil åbnet!");
    EXPECT_EQ(fake.form.label4.value, "1 fil er åbnet!");
    fake.form.file1.select({0, 1, 2});
    worker.OpenSelectedFiles();
    EXPECT_EQ(fake.form.status.value, "3 Filer åbnet!");
    EXPECT_EQ(fake.form.label4.value, "3 filer er åbnet!");
    EXPECT_EQ(fake.form.label4.color, kBlue);
    EXPECT_EQ(fake.form.command2.value, "&Annuller");
    EXPECT_EQ(fake.office.handedOver, 4);
}

TEST_F(BatchRunTest, SecondOfThreeFailsAndTheErrorListCollectsOverRuns) {
    fake.form.file1.select({0, 1, 2});
    fake.office.failOn("open:" + path("b, & c.doc"), 5, "beskadiget");
    worker.EditSelectedFiles();
    EXPECT_EQ(opened(),
              (std::vector<std::string>{path("a.doc"), path("b, & c.doc"), path("d.doc")}));
    const std::string firstRun =
        "08-12-2026 14:07:09, Err: " + path("b, & c.doc") + "\r\n2 fil(er) er editeret!\r\n";
    EXPECT_EQ(fake.form.text2.value, firstRun);
    EXPECT_TRUE(fake.form.text2.shown);
    EXPECT_EQ(fake.form.status.value, "Fejl ved editering!");
    EXPECT_EQ(fake.form.label4.value, "Editerer " + path("d.doc") + "\r\nVent venligst!");
    EXPECT_EQ(fake.form.command2.value, "&Annuller");

    fake.office.failOn("open:" + path("a.doc"), 5, "beskadiget");
    fake.form.file1.show({"a.doc", "b, & c.doc"});
    fake.form.file1.select({0, 1});
    worker.OpenSelectedFiles();
    EXPECT_EQ(fake.form.text2.value, firstRun + "08-12-2026 14:07:09, Err: " + path("a.doc") +
                                         "\r\n" + "08-12-2026 14:07:09, Err: " +
                                         path("b, & c.doc") + "\r\n0 fil(er) er åbnet!\r\n");
    EXPECT_EQ(fake.form.status.value, "Fejl ved åbning!");
}

TEST_F(BatchRunTest, ARunHidesTheErrorListAgain) {
    fake.form.text2.shown = true;
    fake.form.file1.select({0});
    worker.EditSelectedFiles();
    EXPECT_FALSE(fake.form.text2.shown);
}

TEST_F(BatchRunTest, DriveRootGivesASingleSeparator) {
    fake.form.dir1.value = "/";
    fake.form.file1.folder = "/";
    fake.form.file1.show({"rod.doc"});
    fake.form.file1.select({0});
    worker.OpenSelectedFiles();
    EXPECT_EQ(opened(), std::vector<std::string>{"/rod.doc"});
}

TEST_F(BatchRunTest, UnexpectedErrorEndsTheEditRunWithAMessageAndTheStamp) {
    fake.form.file1.select({0, 1});
    fake.office.failOn("quit", 1, "x");
    // A message box while logging that itself throws stands for any error of the batch.
    fake.files.unwritable.insert(fake.logPath());
    fake.messages.onShow = [](const fakes::ShownMessage& m) {
        if (m.icon == MessageIcon::None) throw platform::Error(91, "Objektvariabel ikke sat");
    };
    worker.EditSelectedFiles();
    ASSERT_EQ(fake.messages.shown.size(), 2u);
    EXPECT_EQ(fake.messages.shown[1].text, "Objektvariabel ikke sat");
    EXPECT_EQ(fake.messages.shown[1].icon, MessageIcon::Critical);
    EXPECT_EQ(fake.messages.shown[1].title, "Pravelo");
    EXPECT_EQ(fake.form.status.value, "Udført! 08-12-2026 14:07:09");
    EXPECT_EQ(opened().size(), 1u);  // later documents are not processed

    fake.messages.shown.clear();
    fake.office.failOn("open:" + path("a.doc"), 5, "beskadiget");
    EXPECT_THROW(worker.OpenSelectedFiles(), platform::Error);
}

TEST_F(BatchRunTest, EachDocumentIsWaitedForAndACloseStopsBeforeTheNext) {
    fake.form.file1.select({0, 1, 3});
    fake.form.duringWait = [&] {
        // Asked for while the second document is in hand.
        if (opened().size() == 2) fake.form.closeAsked = true;
    };
    for (bool edit : {true, false}) {
        SCOPED_TRACE(edit);
        fake.office.calls.clear();
        fake.form.closeAsked = false;
        fake.form.status.value = "før";
        edit ? worker.EditSelectedFiles() : worker.OpenSelectedFiles();
        // The second document is finished, the third left alone, and no report is made.
        EXPECT_EQ(opened(), (std::vector<std::string>{path("a.doc"), path("b, & c.doc")}));
        EXPECT_EQ(fake.form.status.value, edit ? "Der editeres!" : "Åbner i Word!");
        EXPECT_EQ(fake.form.command2.value, "&Annuller");
        EXPECT_TRUE(fake.messages.shown.empty());
    }
    // The edit batch's macro look-up is waited for as well.
    EXPECT_EQ(fake.form.waits, 3 + 2);
}

TEST_F(BatchRunTest, CloseAskedDuringTheMacroLookUpStartsNoDocument) {
    fake.form.file1.select({0});
    fake.form.duringWait = [&] { fake.form.closeAsked = true; };
    worker.EditSelectedFiles();
    EXPECT_EQ(fake.office.calls, std::vector<std::string>{"check:RetDok"});
    EXPECT_EQ(fake.form.status.value, "før");
}

TEST_F(BatchRunTest, AMissingMacroIsToldOnceAndNothingIsTouched) {
    fake.form.file1.select({0, 1, 2});
    fake.office.missingMacros["RetDok"] = "Makroen \"RetDok\" findes ikke i Mine makroer.";
    worker.EditSelectedFiles();
    EXPECT_EQ(fake.office.calls, std::vector<std::string>{"check:RetDok"});
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, "Makroen \"RetDok\" findes ikke i Mine makroer.");
    EXPECT_EQ(fake.messages.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(fake.messages.shown[0].title, "Opps somthing is missing");
    EXPECT_EQ(fake.form.label4.value, "før");
    EXPECT_EQ(fake.form.status.value, "før");
    EXPECT_FALSE(fake.files.files.count(fake.logPath()));

    // The name in the box is the one looked for; a found name runs as before.
    fake.form.text1.value = "Andet";
    settings.SetMacroName("Andet");
    fake.office.calls.clear();
    worker.EditSelectedFiles();
    EXPECT_EQ(fake.office.calls.front(), "check:Andet");
    EXPECT_EQ(opened().size(), 3u);
    EXPECT_EQ(fake.form.label4.value, "3 filer er editeret!\r\nKontroler dokumenterne!");
}

TEST_F(BatchRunTest, AFailingMacroLookUpIsAnUnexpectedErrorOfTheRun) {
    fake.form.file1.select({0});
    fake.office.failOn("check:RetDok", 429, "Kontorpakken kunne ikke startes");
    worker.EditSelectedFiles();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(fake.form.status.value, "Udført! 08-12-2026 14:07:09");
    EXPECT_TRUE(opened().empty());
}

TEST_F(BatchRunTest, ControlCharactersInANameAreEscapedInTheErrorList) {
    fake.form.file1.show({"to\nlinjer.doc"});
    fake.form.file1.select({0});
    fake.office.failOn("open:" + path("to\nlinjer.doc"), 5, "beskadiget");
    worker.EditSelectedFiles();
    EXPECT_EQ(fake.form.text2.value, "08-12-2026 14:07:09, Err: " + path("to\\nlinjer.doc") +
                                         "\r\n0 fil(er) er editeret!\r\n");
    EXPECT_EQ(fake.form.paintedLabels.back(),
              "Editerer " + path("to\\nlinjer.doc") + "\r\nVent venligst!");
}

TEST_F(BatchRunTest, ThousandsOfFilesAreEachReported) {
    std::vector<std::string> names;
    for (int i = 0; i < 5000; ++i) names.push_back("fil " + std::to_string(i) + ".doc");
    fake.form.file1.show(names);
    for (int i = 0; i < 5000; ++i) fake.form.file1.selection[i] = true;
    fake.office.failOn("start", 429, "ingen kontorpakke");
    worker.EditSelectedFiles();
    EXPECT_EQ(fake.form.text2.appends, 5001);
    EXPECT_TRUE(fake.form.text2.value.ends_with("0 fil(er) er editeret!\r\n"));
    EXPECT_EQ(std::count(fake.files.files[fake.logPath()].begin(),
                         fake.files.files[fake.logPath()].end(), '\n'),
              5000);
}

}  // namespace
}  // namespace pravelo
