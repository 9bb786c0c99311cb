#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "common/commen_functions.h"
#include "fake_platform.h"
#include "settings/settings.h"
#include "word_engine/doo_with_file.h"

namespace pravelo {
namespace {

using Calls = std::vector<std::string>;

// How the office instance is set up: hidden and quiet for a run, visible to hand over.
bool isInstanceSetting(const std::string& call) {
    for (const char* setting : {"visible:", "screen:", "spelling:", "grammar:"}) {
        if (call.starts_with(setting)) return true;
    }
    return false;
}

// The calls that touch the document and the instance's life, in their order.
Calls lifecycle(const Calls& calls) {
    Calls kept;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(kept),
                 [](const std::string& call) { return !isInstanceSetting(call); });
    return kept;
}

// The instance settings made between two calls (to the end where `to` is empty), in any order.
Calls settingsBetween(const Calls& calls, const std::string& from, const std::string& to) {
    const auto begin = std::find(calls.begin(), calls.end(), from);
    const auto end = std::find(begin, calls.end(), to);
    Calls made;
    std::copy_if(begin, end, std::back_inserter(made), isInstanceSetting);
    std::sort(made.begin(), made.end());
    return made;
}

const Calls kHidden{"grammar:0", "screen:0", "spelling:0", "visible:0"};
const Calls kShown{"grammar:1", "screen:1", "spelling:1", "visible:1"};

class DocumentWorkerTest : public ::testing::Test {
  protected:
    DocumentWorkerTest() {
        fake.files.files[fake.settingsPath()] = "[Makro]\r\nRetDok\r\n";
        settings.LoadSettings();
    }
    std::string log() { return fake.files.files[fake.logPath()]; }

    fakes::FakePlatform fake;
    common::CommenFunctions common{fake.platform};
    settings::Settings settings{fake.platform, common};
    word_engine::DooWithFile worker{fake.platform, settings};
    const std::string doc = "/home/bruger/æ ø/brev, nr 1.doc";
};

TEST_F(DocumentWorkerTest, EditRunsTheStepsInOrderAndQuits) {
    EXPECT_TRUE(worker.ProcessDocument(doc, "RunMakro"));
    const Calls& calls = fake.office.calls;
    EXPECT_EQ(lifecycle(calls),
              (Calls{"start", "open:" + doc, "run:RetDok", "active", "close:-1:" + doc, "quit"}));
    // Hidden and quiet before the document opens, and nothing set after.
    EXPECT_EQ(settingsBetween(calls, "start", "open:" + doc), kHidden);
    EXPECT_EQ(settingsBetween(calls, "start", ""), kHidden);
    EXPECT_EQ(fake.office.running, 0);
    EXPECT_EQ(log(), "");
}

TEST_F(DocumentWorkerTest, MacroNameIsReadAtRunTime) {
    settings.SetMacroName("  Andet.Navn ");
    worker.ProcessDocument(doc, "RunMakro");
    EXPECT_EQ(lifecycle(fake.office.calls).at(2), "run:  Andet.Navn ");
}

TEST_F(DocumentWorkerTest, TheDocumentActiveAfterTheMacroIsTheOneSaved) {
    fake.office.activeAfterMacro = "/tmp/andet.doc";
    EXPECT_TRUE(worker.ProcessDocument(doc, "RunMakro"));
    EXPECT_EQ(lifecycle(fake.office.calls).at(4), "close:-1:/tmp/andet.doc");
}

TEST_F(DocumentWorkerTest, EachFailurePointLogsOneLineAndQuitsOnce) {
    const std::vector<std::string> points{"visible:0", "screen:0",       "spelling:0",
                                          "grammar:0", "open:" + doc,    "run:RetDok",
                                          "active",    "close:-1:" + doc};
    for (const auto& point : points) {
        SCOPED_TRACE(point);
        fake.office.calls.clear();
        fake.office.failAt.clear();
        fake.files.files.erase(fake.logPath());
        fake.office.failOn(point, -2147352567, "Noget gik galt");

        EXPECT_FALSE(worker.ProcessDocument(doc, "RunMakro"));
        EXPECT_EQ(log(), "08-12-2026, 14:07:09, -2147352567, " + doc + ", Noget gik galt\r\n");
        EXPECT_EQ(std::count(fake.office.calls.begin(), fake.office.calls.end(), "quit"), 1);
        EXPECT_EQ(fake.office.calls.back(), "quit");
        EXPECT_EQ(fake.office.running, 0);
        // Nothing after the failing step, and the document is never saved on this path.
        EXPECT_EQ(std::find(fake.office.calls.begin(), fake.office.calls.end(), point) + 2,
                  fake.office.calls.end());
    }
}

TEST_F(DocumentWorkerTest, NoOfficeMeansNoQuit) {
    fake.office.failOn("start", 429, "Kontorpakken kunne ikke startes");
    EXPECT_FALSE(worker.ProcessDocument(doc, "RunMakro"));
    EXPECT_EQ(fake.office.calls, Calls{"start"});
    EXPECT_EQ(log(), "08-12-2026, 14:07:09, 429, " + doc + ", Kontorpakken kunne ikke startes\r\n");
}

TEST_F(DocumentWorkerTest, QuitFailureAfterASaveIsLoggedOnceAndFails) {
    fake.office.failOn("quit", 7, "Afslut mislykkedes");
    EXPECT_FALSE(worker.ProcessDocument(doc, "RunMakro"));
    EXPECT_EQ(log(), "08-12-2026, 14:07:09, 7, " + doc + ", Afslut mislykkedes\r\n");
    EXPECT_EQ(std::count(fake.office.calls.begin(), fake.office.calls.end(), "quit"), 1);
}

TEST_F(DocumentWorkerTest, TwoFailuresInOneCallGiveTwoLines) {
    fake.office.failOn("run:RetDok", 1004, "Makroen findes ikke");
    fake.office.failOn("quit", 7, "Afslut mislykkedes");
    EXPECT_FALSE(worker.ProcessDocument(doc, "RunMakro"));
    EXPECT_EQ(log(), "08-12-2026, 14:07:09, 1004, " + doc + ", Makroen findes ikke\r\n" +
                         "08-12-2026, 14:07:09, 7, " + doc + ", Afslut mislykkedes\r\n");
}

TEST_F(DocumentWorkerTest, OpenHandsAVisibleInstanceOver) {
    EXPECT_TRUE(worker.ProcessDocument(doc, "RunDokument"));
    const Calls& calls = fake.office.calls;
    EXPECT_EQ(lifecycle(calls), (Calls{"start", "open:" + doc}));
    // Hidden while the document opens, shown once it is open.
    EXPECT_EQ(settingsBetween(calls, "start", "open:" + doc), kHidden);
    EXPECT_EQ(settingsBetween(calls, "open:" + doc, ""), kShown);
    EXPECT_EQ(fake.office.handedOver, 1);
    EXPECT_TRUE(worker.ProcessDocument(doc, "RunDokument"));
    EXPECT_EQ(fake.office.handedOver, 2);
}

TEST_F(DocumentWorkerTest, OpenThatFailsLeavesNoInstance) {
    fake.office.failOn("visible:1", 9, "Ingen skærm");
    EXPECT_FALSE(worker.ProcessDocument(doc, "RunDokument"));
    EXPECT_EQ(fake.office.calls.back(), "quit");
    EXPECT_EQ(fake.office.handedOver, 0);
    EXPECT_EQ(fake.office.running, 0);
    EXPECT_EQ(log(), "08-12-2026, 14:07:09, 9, " + doc + ", Ingen skærm\r\n");
}

TEST_F(DocumentWorkerTest, ModeWordsAreExact) {
    worker.ProcessDocument(doc, "runmakro");
    EXPECT_EQ(std::count_if(fake.office.calls.begin(), fake.office.calls.end(),
                            [](const std::string& c) { return c.rfind("run:", 0) == 0; }),
              0);
}

TEST_F(DocumentWorkerTest, LineBreaksAndControlsInNameOrDescriptionStayOnOneLogLine) {
    // A name that tries to forge a second entry of its own.
    const std::string forged =
        "/tmp/a\r\n08-12-2026, 14:07:09, 0, /tmp/b.doc, ok\n\t\x1B[2J\x7F"
        "\xC2\x85\xE2\x80\xA8\xE2\x80\xA9æ.doc";
    fake.office.failOn("open:" + forged, 5, "første\r\nanden");
    worker.ProcessDocument(forged, "RunMakro");
    EXPECT_EQ(log(),
              "08-12-2026, 14:07:09, 5, /tmp/a\\r\\n08-12-2026, 14:07:09, 0, /tmp/b.doc, "
              "ok\\n\\t\\x1B[2J\\x7F\\u0085\\u2028\\u2029æ.doc, første\\r\\nanden\r\n");
}

TEST_F(DocumentWorkerTest, UnwritableLogShowsAMessagePerLineAndGoesOn) {
    fake.files.unwritable.insert(fake.logPath());
    fake.office.failOn("open:" + doc, 5, "kan ikke åbnes");
    EXPECT_FALSE(worker.ProcessDocument(doc, "RunMakro"));
    EXPECT_FALSE(worker.ProcessDocument(doc, "RunMakro"));
    ASSERT_EQ(fake.messages.shown.size(), 2u);
    EXPECT_EQ(fake.messages.shown[0].icon, platform::MessageIcon::None);
    EXPECT_EQ(fake.messages.shown[0].title, "Pravelo");
}

TEST_F(DocumentWorkerTest, ViewerGetsThePathAsGivenAndReportsCritically) {
    worker.OpenInNotepad("/mappe med blanke/Pravelo.log");
    EXPECT_EQ(fake.processes.editorPaths, Calls{"/mappe med blanke/Pravelo.log"});
    EXPECT_TRUE(fake.messages.shown.empty());
    fake.processes.fail = true;
    worker.OpenInNotepad("/x");
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].icon, platform::MessageIcon::Critical);
    EXPECT_EQ(fake.messages.shown[0].text, "Ingen grafisk teksteditor fundet");
}

TEST_F(DocumentWorkerTest, RunInputsCheckTheBoxNotTheStore) {
    fake.form.text1.value = "";
    fake.form.focus = "Dir1";
    EXPECT_EQ(worker.CheckRunInputs("MakroName"), "Indtast makronavn");
    EXPECT_EQ(fake.form.focus, "Text1");
    fake.form.text1.value = "   ";
    fake.form.focus = "Dir1";
    EXPECT_EQ(worker.CheckRunInputs("MakroName"), "");
    EXPECT_EQ(fake.form.focus, "Dir1");
    fake.form.text1.value = "";
    EXPECT_EQ(worker.CheckRunInputs("Andet"), "");
    EXPECT_EQ(fake.form.focus, "Dir1");
}

}  // namespace
}  // namespace pravelo
