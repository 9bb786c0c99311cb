#include "platform/libreoffice/uno/libreoffice_launcher.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <random>

#include "launcher_fixture.h"
#include "platform/error.h"
#include "platform/libreoffice/guard/office_process.h"

namespace fs = std::filesystem;
using pravelo::platform::Error;
using pravelo::platform::OfficeApplication;
using pravelo::platform::OfficeDocument;
using pravelo::platform::libreoffice::LibreOfficeLauncher;
using pravelo::platform::libreoffice::LibreOfficeOptions;
using namespace pravelo::testing;

TEST_P(LauncherTest, MacroEditsTheDocumentWhichIsSavedInItsOwnFormat) {
    auto office = launcher();
    const auto error = edit(office, document, "InsertText");
    ASSERT_FALSE(error) << error->number() << " " << error->description();
    const auto text = officeText(document);
    EXPECT_NE(text.find("PRAVELO-EDITED Første dokument om blåbærgrød."), std::string::npos)
        << text;
    // Still a Word 97 file (an OLE compound document), not text or ODF.
    std::ifstream in(document, std::ios::binary);
    char magic[4] = {};
    in.read(magic, 4);
    EXPECT_EQ(std::string(magic, 4), "\xD0\xCF\x11\xE0");
}

TEST_P(LauncherTest, MacroNamesAreFoundAsTypedStandardFirst) {
    auto office = launcher();
    struct Case {
        std::string typed;
        std::string inserted;
    };
    for (const Case& c : {Case{"Module1.InsertText", "PRAVELO-EDITED"},
                          Case{"Standard.Module1.InsertText", "PRAVELO-EDITED"},
                          Case{"inserttext", "PRAVELO-EDITED"},
                          Case{"Extra.Tools2.InsertText", "EXTRA"}, Case{"OnlyExtra", "ONLY"}}) {
        fs::copy_file(wordFixtures() / "first.doc", document, fs::copy_options::overwrite_existing);
        const auto error = edit(office, document, c.typed);
        ASSERT_FALSE(error) << c.typed << ": " << error->description();
        EXPECT_NE(officeText(document).find(c.inserted + " Første"), std::string::npos) << c.typed;
    }
}

TEST_P(LauncherTest, UnknownAmbiguousOrMalformedNamesFailNamingTheMacro) {
    auto office = launcher();
    for (const std::string typed :
         {"NoSuchMacro", "Twice", "Module1.Nope", "a.b.c.d", "Insert Text",
          "InsertText?language=Python", "vnd.sun.star.script:Standard.Module1.InsertText"}) {
        const auto error = edit(office, document, typed);
        ASSERT_TRUE(error) << typed;
        EXPECT_NE(error->description().find(typed), std::string::npos) << error->description();
    }
    EXPECT_EQ(officeText(document).find("EDITED"), std::string::npos);
}

TEST_P(LauncherTest, BasicRuntimeErrorIsAFailureWithItsNumberAndText) {
    auto office = launcher();
    const auto before = fs::last_write_time(document);
    const auto error = edit(office, document, "DivideByZero");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), 11);
    EXPECT_NE(error->description().find("Division by zero"), std::string::npos)
        << error->description();
    EXPECT_NE(error->description().find("DivideByZero"), std::string::npos);
    EXPECT_EQ(fs::last_write_time(document), before);
}

TEST_P(LauncherTest, MacroFailingAfterAnEditLeavesTheFileUntouched) {
    auto office = launcher();
    const auto bytes = fs::file_size(document);
    const auto before = fs::last_write_time(document);
    const auto start = std::chrono::steady_clock::now();
    const auto error = edit(office, document, "EditThenFail");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), 1004) << error->description();
    // The changed document must not make quitting wait for an answer (until
    // the time limit of a minute).
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_EQ(fs::last_write_time(document), before);
    EXPECT_EQ(fs::file_size(document), bytes);
}

TEST_P(LauncherTest, MacrosStoredInTheDocumentNeverRun) {
    const fs::path odt = work / "med makroer æ.odt";
    const std::string embedded =
        "Sub OnLoad\n"
        "    ThisComponent.getText().getStart().setString(\"EMBEDDED-RAN \")\n"
        "End Sub\n"
        "Sub InsertText\n"
        "    ThisComponent.getText().getStart().setString(\"EMBEDDED-RAN \")\n"
        "End Sub\n";
    // Whether a load event could fire here at all is the office's affair; what
    // counts is that the name never reaches the document's own library.
    writeOdtWithMacros(odt, "Original text.", embedded, "OnLoad");
    auto office = launcher();
    const auto error = edit(office, odt, "InsertText");
    ASSERT_FALSE(error) << error->description();
    const auto text = officeText(odt);
    EXPECT_NE(text.find("PRAVELO-EDITED Original text."), std::string::npos) << text;
    EXPECT_EQ(text.find("EMBEDDED-RAN"), std::string::npos) << text;
}

TEST_P(LauncherTest, EndStatementInTheMacroIsNoFailure) {
    auto office = launcher();
    const auto error = edit(office, document, "EndsEarly");
    ASSERT_FALSE(error) << error->description();
    EXPECT_NE(officeText(document).find("ENDED Første"), std::string::npos);
}

// Basic refuses a whole library when one module does not compile ("Access"
// is a keyword); the macro then never runs, which must not pass for success.
TEST_P(LauncherTest, ALibraryThatDoesNotCompileIsAFailure) {
    writeUserProfile(userProfile(),
                     {{"Standard",
                       {{"Module1", standardModule(other)},
                        {"Module2", "Sub Broken\n    Dim access As Object\nEnd Sub\n"}}}});
    profileBefore = folderDigest(userProfile());
    const auto before = readBytes(document);
    auto office = launcher();
    const auto error = edit(office, document, "InsertText");
    ASSERT_TRUE(error);
    EXPECT_NE(error->description().find("InsertText"), std::string::npos) << error->description();
    EXPECT_EQ(readBytes(document), before);
}

TEST_P(LauncherTest, EndlessMacroIsStoppedAtTheTimeLimit) {
    auto office = launcher(std::chrono::seconds(4));
    const auto start = std::chrono::steady_clock::now();
    const auto error = edit(office, document, "LoopForever");
    const auto took = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(error);
    EXPECT_NE(error->description().find("LoopForever"), std::string::npos) << error->description();
    EXPECT_NE(error->description().find("4 s"), std::string::npos) << error->description();
    EXPECT_LT(took, std::chrono::seconds(20));
    // TearDown checks that no process, lock file or profile remains.
}

TEST_P(LauncherTest, DocumentLeftActiveByTheMacroIsTheOneSaved) {
    auto office = launcher();
    const auto error = edit(office, document, "OpenAnother");
    ASSERT_FALSE(error) << error->description();
    EXPECT_NE(officeText(other).find("OTHER-EDITED Second document."), std::string::npos);
    EXPECT_EQ(officeText(document).find("EDITED"), std::string::npos);
}

TEST_P(LauncherTest, DocumentsThatCannotBeOpenedFailNamingThePath) {
    auto office = launcher();
    const fs::path missing = work / "findes ikke.doc";
    auto error = edit(office, missing, "InsertText");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), pravelo::platform::errnum::FileNotFound);
    EXPECT_NE(error->description().find(missing.string()), std::string::npos);

    // A damaged Word file: the first half of a real one.
    const fs::path damaged = work / "halv fil.doc";
    const auto size = fs::file_size(document);
    fs::copy_file(document, damaged);
    fs::resize_file(damaged, size / 2);
    error = edit(office, damaged, "InsertText");
    ASSERT_TRUE(error);
    EXPECT_NE(error->description().find(damaged.string()), std::string::npos)
        << error->description();
    EXPECT_EQ(fs::file_size(damaged), size / 2);
}

// Only a format the office writes back as it read it is saved; the rest stays
// byte for byte as it was.
TEST_P(LauncherTest, OnlyFaithfulFormatsAreWrittenBack) {
    std::mt19937 random(7);
    std::string noise(4096, '\0');
    for (auto& c : noise) c = static_cast<char>(random());
    const std::map<std::string, std::string> refused{
        {"tekst.doc", "Blåbærgrød \xe6\xf8\xe5 koster 5 \x80.\r\n"},  // Windows-1252
        {"støj.doc", noise},
    };
    auto office = launcher();
    for (const auto& [name, content] : refused) {
        const fs::path file = work / name;
        std::ofstream(file, std::ios::binary) << content;
        const auto error = edit(office, file, "InsertText");
        ASSERT_TRUE(error) << name;
        EXPECT_NE(error->description().find("eget format"), std::string::npos)
            << error->description();
        EXPECT_EQ(readBytes(file), content) << name;
    }
    const fs::path rtf = work / "rtf.doc";
    std::ofstream(rtf, std::ios::binary) << "{\\rtf1\\ansi Hello RTF\\par}";
    const auto error = edit(office, rtf, "InsertText");
    ASSERT_FALSE(error) << error->description();
    EXPECT_TRUE(readBytes(rtf).starts_with("{\\rtf1"));
    EXPECT_NE(officeText(rtf).find("PRAVELO-EDITED Hello RTF"), std::string::npos);
}

TEST_P(LauncherTest, DestroyingWithoutQuitEndsTheOffice) {
    auto office = launcher();
    std::vector<pid_t> during;
    {
        auto app = office.startNew();
        app->documents().open(document.string());
        during = runningOffices(office);
        EXPECT_FALSE(during.empty());
    }
    // The fork engine may have made the next fork ahead: one fewer of those
    // that ran, and the document no longer open.
    const auto after = runningOffices(office);
    EXPECT_LT(std::count_if(during.begin(), during.end(),
                            [&](pid_t pid) {
                                return std::find(after.begin(), after.end(), pid) != after.end();
                            }),
              static_cast<std::ptrdiff_t>(during.size()));
    EXPECT_LE(after.size(), office.fork() != nullptr ? 1u : 0u);
    EXPECT_FALSE(fs::exists(pravelo::platform::libreoffice::lockFileOf(document)));
}

TEST_P(LauncherTest, ShowingWithoutADisplayIsAClearError) {
    if (std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr) {
        GTEST_SKIP() << "a display is available";
    }
    auto office = launcher();
    auto app = office.startNew();
    app->documents().open(document.string());
    try {
        app->setVisible(true);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(e.description().find("skærm"), std::string::npos) << e.description();
    }
    app->quit();
}

TEST_P(LauncherTest, MissingOfficeIsAFailureToStart) {
    auto missing = options();
    missing.soffice = root.path() / "no-office" / "soffice";
    auto office = launcher(missing);
    EXPECT_THROW(office.startNew(), Error);
}

TEST_P(LauncherTest, MacroNamesAreCheckedOnceBeforeABatch) {
    auto office = launcher();
    EXPECT_EQ(office.checkMacro("Module1.InsertText"), "");
    const auto missing = office.checkMacro("FindesIkke");
    EXPECT_NE(missing.find("\"FindesIkke\" findes ikke"), std::string::npos) << missing;
    EXPECT_NE(office.checkMacro("ikke et navn!"), "");
}

// Whatever the office throws becomes the program's own error, with a number
// and a description, also when the macro ends the office under our feet.
TEST_P(LauncherTest, AnOfficeEndedByTheMacroIsAnOrdinaryFailure) {
    writeUserProfile(
        userProfile(),
        {{"Standard", {{"Module1", "Sub Afslut\n    StarDesktop.terminate()\nEnd Sub\n"}}}});
    profileBefore = folderDigest(userProfile());
    const std::string before = readBytes(document);
    auto office = launcher();
    const auto error = edit(office, document, "Afslut");
    ASSERT_TRUE(error);
    EXPECT_NE(error->number(), 0);
    EXPECT_FALSE(error->description().empty());
    EXPECT_EQ(readBytes(document), before);
}

INSTANTIATE_TEST_SUITE_P(Engines, LauncherTest, ::testing::Values("uno", "fork"),
                         [](const auto& info) { return info.param; });
