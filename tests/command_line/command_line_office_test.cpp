// The built program run from a script over real documents and the real
// LibreOffice: exit codes, the log and the report, two documents at once that
// share nothing, a SIGTERM in the middle of a batch, and --fortryd.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "office_fixture.h"
#include "program_run.h"
#include "wait_until.h"

namespace pravelo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kMarker = "PRAVELO-MAERKE[";

// Each document gets what the macro found in a Basic global before setting it:
// an office shared by two documents would give the second one "[sat]".
std::string macroWaiting(int milliseconds) {
    return "Global Seen As String\n"
           "Sub Maerk\n"
           "    Dim before As String\n"
           "    before = Seen\n"
           "    Seen = \"sat\"\n"
           "    Wait " +
           std::to_string(milliseconds) +
           "\n"
           "    ThisComponent.getText().getStart().setString(\"" +
           kMarker + "\" & before & \"] \")\n" + "End Sub\n";
}

class CommandLineOfficeTest : public ::testing::Test {
  protected:
    void SetUp() override { folder_ = root_.path() / "dokumenter æøå"; }

    void useMacro(int waitMilliseconds) {
        testing::writeUserProfile(root_.path() / "home/.config/libreoffice/4/user",
                                  {{"Standard", {{"Module1", macroWaiting(waitMilliseconds)}}}});
    }
    fs::path rtf(const std::string& name) {
        fs::create_directories(folder_);
        const fs::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << "{\\rtf1\\ansi\\deff0 Brev " << name << "\\par}";
        return path;
    }
    // Nothing of the run is left: no office, no host, no lock file or backup
    // beside the documents.
    void expectNothingLeft(const testing::ProgramRun& run) {
        testing::waitUntil([&] { return run.hosts().empty() && run.offices().empty(); }, 5s);
        EXPECT_TRUE(run.offices().empty());
        EXPECT_TRUE(run.hosts().empty());
        for (const auto& entry : fs::directory_iterator(folder_))
            EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
    }

    testing::TempFolder root_;
    fs::path folder_;
};

TEST_F(CommandLineOfficeTest, TwoAtOnceEditEveryDocumentInOfficesThatShareNothing) {
    useMacro(1500);
    std::vector<fs::path> documents;
    for (const char* name : {"a.rtf", "b.rtf", "c;d.rtf"}) documents.push_back(rtf(name));
    testing::ProgramRun run(root_.path(),
                            {"--makro", "Maerk", "--samtidige", "2", folder_.string()});
    const auto code = run.waitForExit(120s);
    ASSERT_TRUE(code.has_value()) << run.output();
    EXPECT_EQ(*code, 0) << run.output();
    for (const auto& document : documents) {
        const std::string text = testing::readBytes(document);
        EXPECT_NE(text.find(kMarker + "] "), std::string::npos) << document << "\n" << text;
        EXPECT_EQ(text.find(kMarker + "sat]"), std::string::npos) << document;
    }
    EXPECT_FALSE(fs::exists(run.programFolder() / "Pravelo.log"));
    expectNothingLeft(run);
}

TEST_F(CommandLineOfficeTest, AFailedDocumentGivesOneTheLogLineAndAReportRow) {
    useMacro(0);
    const fs::path good = rtf("god.rtf");
    const fs::path fake = folder_ / "tekst.rtf";
    std::ofstream(fake, std::ios::binary) << "bare tekst, intet dokument\n";
    const fs::path report = root_.path() / "rapport.csv";
    testing::ProgramRun run(root_.path(), {"--makro", "Maerk", "--samtidige", "1", "--rapport",
                                           report.string(), good.string(), fake.string()});
    const auto code = run.waitForExit(120s);
    ASSERT_TRUE(code.has_value()) << run.output();
    EXPECT_EQ(*code, 1) << run.output();
    EXPECT_EQ(testing::readBytes(fake), "bare tekst, intet dokument\n");
    // The log is in the code page of the window's log, so only the file name is
    // compared.
    const std::string log = testing::readBytes(run.programFolder() / "Pravelo.log");
    EXPECT_NE(log.find("/tekst.rtf, "), std::string::npos) << log;
    EXPECT_EQ(log.find("god.rtf"), std::string::npos) << log;
    const std::string rows = testing::readBytes(report);
    EXPECT_NE(rows.find("\"" + good.string() + "\";\"Editeret\""), std::string::npos) << rows;
    EXPECT_NE(rows.find("\"" + fake.string() + "\";\"Fejl\";\""), std::string::npos) << rows;
    expectNothingLeft(run);
}

TEST_F(CommandLineOfficeTest, SigtermDuringABatchOfTwoAtOnceFinishesThoseInHandAndGives130) {
    useMacro(2500);
    std::vector<fs::path> documents;
    std::vector<std::string> original;
    for (const char* name : {"1.rtf", "2.rtf", "3.rtf", "4.rtf", "5.rtf", "6.rtf"}) {
        documents.push_back(rtf(name));
        original.push_back(testing::readBytes(documents.back()));
    }
    testing::ProgramRun run(root_.path(),
                            {"--makro", "Maerk", "--samtidige", "2", folder_.string()});
    // Stopped while the first documents are open in their offices (an office
    // alone may still be the macro check, or one forked ahead).
    const auto opened = [&] {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(folder_, ec))
            if (entry.path().filename().string().starts_with(".~lock.")) return true;
        return false;
    };
    ASSERT_TRUE(testing::waitUntil(opened, 60s)) << "no document was opened\n" << run.output();
    ::kill(run.pid(), SIGTERM);
    const auto code = run.waitForExit(60s);
    ASSERT_TRUE(code.has_value()) << "the program did not end after the documents in hand";
    EXPECT_EQ(*code, 130) << run.output();

    int edited = 0;
    for (std::size_t i = 0; i < documents.size(); ++i) {
        const std::string now = testing::readBytes(documents[i]);
        if (now == original[i]) continue;
        ++edited;
        EXPECT_NE(now.find(kMarker + "] "), std::string::npos) << "half-written: " << documents[i];
    }
    EXPECT_GE(edited, 1) << run.output();
    EXPECT_LE(edited, 4) << "documents begun after the stop\n" << run.output();
    expectNothingLeft(run);
}

TEST_F(CommandLineOfficeTest, FortrydPutsTheOriginalsBackIntoTheSameFilesAndLeavesAHandChange) {
    useMacro(0);
    const auto inode = [](const fs::path& path) {
        struct stat facts {};
        return ::stat(path.c_str(), &facts) == 0 ? facts.st_ino : 0;
    };
    std::vector<fs::path> documents;
    std::vector<std::string> before;
    std::vector<ino_t> inodes;
    for (const char* name : {"a.rtf", "b.rtf", "c.rtf"}) {
        documents.push_back(rtf(name));
        before.push_back(testing::readBytes(documents.back()));
        inodes.push_back(inode(documents.back()));
    }
    {
        testing::ProgramRun edit(root_.path(), {"--makro", "Maerk", folder_.string()});
        const auto code = edit.waitForExit(120s);
        ASSERT_TRUE(code.has_value()) << edit.output();
        ASSERT_EQ(*code, 0) << edit.output();
    }
    ASSERT_NE(testing::readBytes(documents[0]), before[0]);
    // Changed by hand in place, as an editor that keeps the file would.
    std::ofstream(documents[1], std::ios::binary | std::ios::trunc)
        << "{\\rtf1 Ændret i hånden\\par}";

    testing::ProgramRun undo(root_.path(), {"--fortryd"});
    const auto code = undo.waitForExit(60s);
    ASSERT_TRUE(code.has_value()) << undo.output();
    EXPECT_EQ(*code, 1) << undo.output();
    for (const std::size_t i : {0u, 2u}) {
        EXPECT_EQ(testing::readBytes(documents[i]), before[i]) << documents[i];
        EXPECT_EQ(inode(documents[i]), inodes[i]) << documents[i];
    }
    EXPECT_EQ(testing::readBytes(documents[1]), "{\\rtf1 Ændret i hånden\\par}");
    const std::string output = undo.output();
    EXPECT_NE(output.find("med makroen Maerk: 3 dokumenter"), std::string::npos) << output;
    EXPECT_NE(output.find("Ikke sat tilbage: " + documents[1].string() + ": dokumentet er ændret"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("2 dokumenter sat tilbage!"), std::string::npos) << output;
    const std::string log = testing::readBytes(undo.programFolder() / "Pravelo.log");
    EXPECT_NE(log.find(", 1102, "), std::string::npos) << log;
    EXPECT_NE(log.find("/b.rtf, "), std::string::npos) << log;
    EXPECT_TRUE(undo.offices().empty()) << "--fortryd started an office";
}

}  // namespace
}  // namespace pravelo
