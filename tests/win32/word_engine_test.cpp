// The document worker driving the stand-in Word through automation, under
// Wine: each document in a Word of its own, the calls in order, failures
// logged with Word's numbers and texts, hung calls ended at the limit.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <iterator>

#include "common/commen_functions.h"
#include "fake_platform.h"
#include "platform/win32/text_convert.h"
#include "platform/word/word_launcher.h"
#include "settings/settings.h"
#include "win32_test_support.h"
#include "word_engine/doo_with_file.h"
#include "word_record.h"

namespace pravelo {
namespace {

using platform::win32::testing::readBytes;
using platform::win32::testing::writeBytes;
using Calls = std::vector<std::string>;

const std::string kNoPassword = "pravelo#7F3C";

class WordEngine : public ::testing::Test {
  protected:
    WordEngine() {
        platform::win32::testing::registerWordStandIn(platform::win32::testing::wordStandInPath());
        SetEnvironmentVariableW(L"PRAVELO_WORD_RECORD", platform::win32::toWide(record).c_str());
        fake.files.files[fake.settingsPath()] = "[Makro]\r\nRetDok\r\n";
        settings.LoadSettings();
    }
    ~WordEngine() override {
        SetEnvironmentVariableW(L"PRAVELO_WORD_RECORD", nullptr);
        platform::win32::testing::unregisterWordStandIn();
    }

    std::string document(const std::string& name) {
        const std::string path = folder / name;
        writeBytes(path, "indhold\r\n");
        return path;
    }
    std::string log() { return fake.files.files[fake.logPath()]; }
    Calls callsOf(std::size_t process) {
        const auto order = testing::wordProcessesInOrder(record);
        return process < order.size() ? testing::readWordRecord(record)[order[process]] : Calls{};
    }
    // The calls without the fetches of the collections on the way, which may come
    // whenever they are needed; the active document is fetched after the macro.
    static Calls withoutFetches(const Calls& calls) {
        Calls kept;
        std::copy_if(calls.begin(), calls.end(), std::back_inserter(kept),
                     [](const std::string& call) {
                         return call != "Application.Options" && call != "Application.Documents";
                     });
        return kept;
    }
    static std::string opened(const std::string& path) {
        return "Documents.Open \"" + path + "\", ConfirmConversions:=False, PasswordDocument:=\"" +
               kNoPassword + "\", WritePasswordDocument:=\"" + kNoPassword + "\"";
    }

    platform::win32::testing::TempFolder folder;
    std::string record = folder / "record.txt";
    platform::word::WordLauncher word{{std::chrono::seconds(4), std::chrono::seconds(10)}};
    fakes::FakePlatform fake;
    platform::Platform platform{fake.version, fake.machine, fake.files,     fake.messages,
                                fake.form,    word,         fake.processes, fake.registry};
    common::CommenFunctions common{platform};
    settings::Settings settings{platform, common};
    word_engine::DooWithFile worker{platform, settings};
};

TEST_F(WordEngine, EachDocumentIsEditedInANewWordWithTheCallsInOrder) {
    const std::string first = document("brev æøå, nr 1.doc");
    const std::string second = document("brev 2.doc");
    EXPECT_TRUE(worker.ProcessDocument(first, "RunMakro"));
    EXPECT_TRUE(worker.ProcessDocument(second, "RunMakro"));

    const auto calls = callsOf(0);
    EXPECT_EQ(
        withoutFetches(calls),
        (Calls{"start", "Application.Visible = False", "Application.ScreenUpdating = False",
               "Options.CheckSpellingAsYouType = False", "Options.CheckGrammarAsYouType = False",
               "Application.DisplayAlerts = 0", "Application.AutomationSecurity = 3", opened(first),
               "Application.AutomationSecurity = 1", "Application.Run \"RetDok\"",
               "Application.ActiveDocument", "Document.Close SaveChanges:=-1, OriginalFormat:=1",
               "Application.Quit", "exit"}));
    EXPECT_EQ(testing::wordProcessesInOrder(record).size(), 2u);
    const Calls next = callsOf(1);
    EXPECT_NE(std::find(next.begin(), next.end(), opened(second)), next.end());
    EXPECT_EQ(readBytes(first), "indhold\r\nMakro RetDok\r\n");
    EXPECT_EQ(readBytes(second), "indhold\r\nMakro RetDok\r\n");
    EXPECT_EQ(log(), "");
    EXPECT_EQ(testing::runningStandIns(), 0);
}

TEST_F(WordEngine, FailuresAreLoggedWithWordsNumbersAndWordQuitsWithoutSaving) {
    const std::string missing = folder / "findes ikke.doc";
    const std::string locked = document("protected.doc");
    const std::string plain = document("brev.doc");
    EXPECT_FALSE(worker.ProcessDocument(missing, "RunMakro"));
    EXPECT_FALSE(worker.ProcessDocument(locked, "RunDokument"));
    settings.SetMacroName("Mangler.Makro");
    EXPECT_FALSE(worker.ProcessDocument(plain, "RunMakro"));

    // A line break inside Word's text is written escaped, so each failure stays one line.
    const std::string stamp = fake.machine.fileDateTime();
    EXPECT_EQ(log(), stamp + ", 5174, " + missing + ", This file could not be found.\\r(" +
                         missing + ")\r\n" + stamp + ", 5408, " + locked +
                         ", The password is incorrect. Word cannot open the document.\\r(" +
                         locked + ")\r\n" + stamp + ", -2147352573, " + plain +
                         ", Unable to run the specified macro\r\n");
    for (std::size_t process = 0; process < 3; ++process) {
        const Calls calls = callsOf(process);
        ASSERT_GE(calls.size(), 2u);
        EXPECT_EQ(calls[calls.size() - 2], "Application.Quit SaveChanges:=0") << process;
    }
    const Calls third = callsOf(2);
    EXPECT_EQ(std::count(third.begin(), third.end(), "Application.ActiveDocument"), 0);
    EXPECT_EQ(readBytes(plain), "indhold\r\n");
    EXPECT_EQ(testing::runningStandIns(), 0);
}

TEST_F(WordEngine, AHungWordIsEndedAtTheLimitAndTheNextDocumentGoesOn) {
    const std::string first = document("a.doc");
    const std::string second = document("b.doc");
    settings.SetMacroName("Haenger");
    EXPECT_FALSE(worker.ProcessDocument(first, "RunMakro"));
    EXPECT_EQ(testing::runningStandIns(), 0);
    settings.SetMacroName("RetDok");
    EXPECT_TRUE(worker.ProcessDocument(second, "RunMakro"));

    EXPECT_EQ(log(), fake.machine.fileDateTime() + ", 1001, " + first +
                         ", Word svarede ikke på Application.Run inden for 4 s; Word blev "
                         "stoppet\r\n");
    const Calls hung = callsOf(0);
    EXPECT_EQ(hung.back(), "Application.Run \"Haenger\"");  // never quit, ended
    EXPECT_EQ(readBytes(first), "indhold\r\n");
    EXPECT_EQ(readBytes(second), "indhold\r\nMakro RetDok\r\n");
    EXPECT_EQ(testing::runningStandIns(), 0);
}

TEST_F(WordEngine, OpeningLeavesAVisibleWordThatAsksBeforeDiscarding) {
    const std::string path = document("se mig.doc");
    EXPECT_TRUE(worker.ProcessDocument(path, "RunDokument"));
    const Calls calls = callsOf(0);
    const Calls tail(calls.end() - 5, calls.end());
    EXPECT_EQ(tail,
              (Calls{"Application.DisplayAlerts = -1", "Application.Visible = True",
                     "Application.ScreenUpdating = True", "Options.CheckSpellingAsYouType = True",
                     "Options.CheckGrammarAsYouType = True"}));
    EXPECT_EQ(testing::runningStandIns(), 1);
    const auto pid = testing::wordProcessesInOrder(record).at(0);
    HANDLE left = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    ASSERT_NE(left, nullptr);
    TerminateProcess(left, 0);
    WaitForSingleObject(left, 5000);
    CloseHandle(left);
}

}  // namespace
}  // namespace pravelo
