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
#include "platform/win32/win32_archive_store.h"
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
const wchar_t kOptionsKey[] = L"Software\\Pravelo\\WordStandIn";

// The user's own Word settings, where the stand-in Word keeps them.
void setUserOptions(bool spelling, bool grammar) {
    const DWORD values[] = {spelling ? 1u : 0u, grammar ? 1u : 0u};
    RegSetKeyValueW(HKEY_CURRENT_USER, kOptionsKey, L"CheckSpellingAsYouType", REG_DWORD,
                    &values[0], sizeof(DWORD));
    RegSetKeyValueW(HKEY_CURRENT_USER, kOptionsKey, L"CheckGrammarAsYouType", REG_DWORD, &values[1],
                    sizeof(DWORD));
}

std::pair<bool, bool> userOptions() {
    DWORD spelling = 1, grammar = 1, size = sizeof(DWORD);
    RegGetValueW(HKEY_CURRENT_USER, kOptionsKey, L"CheckSpellingAsYouType", RRF_RT_REG_DWORD,
                 nullptr, &spelling, &size);
    size = sizeof(DWORD);
    RegGetValueW(HKEY_CURRENT_USER, kOptionsKey, L"CheckGrammarAsYouType", RRF_RT_REG_DWORD,
                 nullptr, &grammar, &size);
    return {spelling != 0, grammar != 0};
}

bool has(const Calls& calls, const std::string& call) {
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

void endWordLeftToUser(unsigned long pid) {
    HANDLE left = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    ASSERT_NE(left, nullptr);
    TerminateProcess(left, 0);
    WaitForSingleObject(left, 5000);
    CloseHandle(left);
}

class WordEngine : public ::testing::Test {
  protected:
    WordEngine() {
        platform::win32::testing::registerWordStandIn(platform::win32::testing::wordStandInPath());
        SetEnvironmentVariableW(L"PRAVELO_WORD_RECORD", platform::win32::toWide(record).c_str());
        fake.files.files[fake.settingsPath()] = "[Makro]\r\nRetDok\r\n";
        settings.LoadSettings();
        setUserOptions(true, true);
    }
    ~WordEngine() override {
        SetEnvironmentVariableW(L"PRAVELO_WORD_RECORD", nullptr);
        SetEnvironmentVariableW(L"PRAVELO_WORD_USER_DOCUMENT", nullptr);
        SetEnvironmentVariableW(L"PRAVELO_WORD_BUSY_MS", nullptr);
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
        return "Documents.Open \"" + path +
               "\", ConfirmConversions:=False, AddToRecentFiles:=False, PasswordDocument:=\"" +
               kNoPassword + "\", WritePasswordDocument:=\"" + kNoPassword +
               "\", NoEncodingDialog:=True";
    }

    platform::win32::testing::TempFolder folder;
    std::string record = folder / "record.txt";
    platform::word::WordLauncher word{
        {std::chrono::seconds(4), std::chrono::seconds(10), std::chrono::seconds(3)}};
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
    EXPECT_EQ(withoutFetches(calls), (Calls{"start",
                                            "Application.Visible = False",
                                            "Application.ScreenUpdating = False",
                                            "Options.CheckSpellingAsYouType",
                                            "Options.CheckSpellingAsYouType = False",
                                            "Options.CheckGrammarAsYouType",
                                            "Options.CheckGrammarAsYouType = False",
                                            "Application.DisplayAlerts = 0",
                                            "Application.AutomationSecurity = 3",
                                            opened(first),
                                            "Application.AutomationSecurity = 1",
                                            "Document.FullName",
                                            "Document.ReadOnly",
                                            "Application.ActiveDocument",
                                            "Document.FullName",
                                            "Application.Run \"RetDok\"",
                                            "Document.Close SaveChanges:=-1, OriginalFormat:=1",
                                            "Documents.Count",
                                            "Options.CheckSpellingAsYouType = True",
                                            "Options.CheckGrammarAsYouType = True",
                                            "Application.NormalTemplate",
                                            "Template.Saved = True",
                                            "Application.Quit",
                                            "exit"}));
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
    EXPECT_FALSE(has(callsOf(2), "Document.Close SaveChanges:=-1, OriginalFormat:=1"));
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

    // What Word showed, so the user learns why it did not answer.
    EXPECT_EQ(log(), fake.machine.fileDateTime() + ", 1001, " + first +
                         ", Word svarede ikke på Application.Run inden for 4 s; Word viste "
                         "dialogen »Microsoft Visual Basic«; Word blev stoppet\r\n");
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
    endWordLeftToUser(testing::wordProcessesInOrder(record).at(0));
}

TEST_F(WordEngine, ADocumentTheUserOpensInOurWordIsNeverTouchedAndStaysWithTheUser) {
    const std::string users = document("brugerens eget.doc");
    SetEnvironmentVariableW(L"PRAVELO_WORD_USER_DOCUMENT", platform::win32::toWide(users).c_str());
    const std::string ours = document("brev shellopen.doc");
    EXPECT_FALSE(worker.ProcessDocument(ours, "RunMakro"));

    EXPECT_EQ(log(), fake.machine.fileDateTime() + ", 70, " + ours +
                         ", Word viser et andet dokument, som Pravelo ikke har åbnet (" + users +
                         "); makroen er ikke kørt, og Word er overladt til brugeren\r\n");
    const Calls calls = callsOf(0);
    EXPECT_FALSE(has(calls, "Application.Run \"RetDok\"")) << calls.size();
    EXPECT_TRUE(has(calls, "Document.Close SaveChanges:=0, OriginalFormat:=1"));
    EXPECT_FALSE(has(calls, "Application.Quit"));
    EXPECT_FALSE(has(calls, "Application.Quit SaveChanges:=0"));
    const Calls tail(calls.end() - 6, calls.end());
    EXPECT_EQ(tail, (Calls{"Documents.Count", "Application.DisplayAlerts = -1",
                           "Options.CheckSpellingAsYouType = True",
                           "Options.CheckGrammarAsYouType = True",
                           "Application.ScreenUpdating = True", "Application.Visible = True"}));
    EXPECT_EQ(readBytes(users), "indhold\r\n");
    EXPECT_EQ(readBytes(ours), "indhold\r\n");
    // Not ended when we let go of it: it is the user's Word now.
    EXPECT_EQ(testing::runningStandIns(), 1);
    endWordLeftToUser(testing::wordProcessesInOrder(record).at(0));
}

TEST_F(WordEngine, ABusyWordIsAskedAgainUntilItAnswers) {
    SetEnvironmentVariableW(L"PRAVELO_WORD_BUSY_MS", L"1500");
    const std::string path = document("travl.doc");
    EXPECT_TRUE(worker.ProcessDocument(path, "RunMakro"));
    EXPECT_EQ(log(), "");
    EXPECT_EQ(readBytes(path), "indhold\r\nMakro RetDok\r\n");
    EXPECT_EQ(testing::wordProcessesInOrder(record).size(), 1u);
    EXPECT_EQ(callsOf(0).back(), "exit");
    EXPECT_EQ(testing::runningStandIns(), 0);
}

TEST_F(WordEngine, PromptsNoOneWouldSeeAreNeverRaised) {
    const std::string locked = document("skrivebeskyttet.doc");
    SetFileAttributesW(platform::win32::toWide(locked).c_str(), FILE_ATTRIBUTE_READONLY);
    const std::string text = document("noter.txt");
    EXPECT_FALSE(worker.ProcessDocument(locked, "RunMakro"));
    EXPECT_TRUE(worker.ProcessDocument(text, "RunMakro"));
    SetFileAttributesW(platform::win32::toWide(locked).c_str(), FILE_ATTRIBUTE_NORMAL);

    // Read-only: refused before the macro, closed unsaved, one line.
    EXPECT_EQ(log(), fake.machine.fileDateTime() + ", 75, " + locked +
                         ", Word har åbnet dokumentet skrivebeskyttet og kan ikke gemme det; "
                         "makroen er ikke kørt, og dokumentet er lukket uden at gemme\r\n");
    const Calls refused = callsOf(0);
    EXPECT_FALSE(has(refused, "Application.Run \"RetDok\""));
    EXPECT_TRUE(has(refused, "Document.Close SaveChanges:=0, OriginalFormat:=1"));
    EXPECT_EQ(readBytes(locked), "indhold\r\n");
    // A text file is opened without asking for its encoding; the Normal template
    // the macro changed is neither asked about nor written.
    const Calls edited = callsOf(1);
    EXPECT_EQ(readBytes(text), "indhold\r\nMakro RetDok\r\n");
    EXPECT_TRUE(has(edited, "Template.Saved = True"));
    EXPECT_FALSE(has(edited, "Normal.dotm written"));
    EXPECT_EQ(testing::runningStandIns(), 0);
}

TEST_F(WordEngine, TheUsersSpellingAndGrammarSettingsStayTheirs) {
    setUserOptions(false, true);
    const std::string path = document("brev.doc");
    EXPECT_TRUE(worker.ProcessDocument(path, "RunMakro"));
    EXPECT_EQ(userOptions(), std::make_pair(false, true));
    EXPECT_TRUE(worker.ProcessDocument(path, "RunDokument"));
    EXPECT_EQ(userOptions(), std::make_pair(false, true));
    const Calls opened = callsOf(1);
    EXPECT_EQ(opened.back(), "Options.CheckGrammarAsYouType = True");
    EXPECT_EQ(opened.at(opened.size() - 2), "Options.CheckSpellingAsYouType = False");
    endWordLeftToUser(testing::wordProcessesInOrder(record).at(1));
}

// The archive of the test's own, not the Wine user's.
class TestArchive : public platform::win32::Win32ArchiveStore {
  public:
    explicit TestArchive(std::string root) : root_(std::move(root)) {}
    std::string archiveFolder() const override { return root_; }

  private:
    std::string root_;
};

// Word saves the file itself: the original is copied before Word opens it,
// and Fortryd writes it back into the same file, past a document changed since.
TEST_F(WordEngine, FortrydPutsBackWhatWordSavedAndLeavesALaterChangeAlone) {
    TestArchive archive(folder / "Kørsler");
    platform.archive = &archive;
    word_engine::DooWithFile undoable(platform, settings);
    const std::vector<std::string> names{"a.doc", "b æøå.doc", "c.doc"};
    std::vector<std::string> identities;
    for (const auto& name : names) identities.push_back(archive.facts(document(name))->identity);
    fake.form.dir1.value = folder.path();
    fake.form.file1.folder = folder.path();
    fake.form.file1.show(names);
    fake.form.file1.select({0, 1, 2});
    fake.form.text1.value = "RetDok";

    undoable.EditSelectedFiles();
    EXPECT_NE(readBytes(folder / "a.doc"), "indhold\r\n");
    writeBytes(folder / "c.doc", "brugerens ændring");
    undoable.UndoLastRun();

    ASSERT_EQ(fake.messages.asked.size(), 1u);
    EXPECT_NE(fake.messages.asked[0].find("3 dokumenter"), std::string::npos);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(readBytes(folder / names[i]), "indhold\r\n");
        EXPECT_EQ(archive.facts(folder / names[i])->identity, identities[i]);
    }
    EXPECT_EQ(readBytes(folder / "c.doc"), "brugerens ændring");
    EXPECT_EQ(fake.form.status.value, "2 dokumenter sat tilbage!");
    EXPECT_NE(log().find("c.doc, Ikke sat tilbage: dokumentet er ændret efter kørslen"),
              std::string::npos);
}

}  // namespace
}  // namespace pravelo
