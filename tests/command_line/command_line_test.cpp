// The command line over fakes: which documents the office is asked to edit,
// the exit code, the run log and the report.
#include "command_line/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "fake_archive_store.h"
#include "fake_platform.h"
#include "posix/temp_folder.h"

namespace pravelo::command_line {
namespace {

namespace fs = std::filesystem;
using platform::posix::testing::TempFolder;
using Args = std::vector<std::string>;

class FakeStop : public platform::StopRequests {
  public:
    std::function<bool()> when = [] { return false; };
    bool stopRequested() const override { return when(); }
};

class CommandLineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fakes.files.files[fakes.settingsPath()] =
            "08-12-2026, "
            "14:07:09\r\n[Makro]\r\nMOLVARIKtilret\r\n\r\n[DocType]\r\n*.doc\r\n"
            "*.rtf\r\n\r\n";
        documents = fs::path(folder.path()) / "dokumenter";
        for (const char* name : {"a.doc", "b;æøå.doc", "c.rtf", "d.txt"}) write(name);
    }

    fs::path write(const std::string& name) {
        fs::create_directories(documents);
        std::ofstream(documents / name) << "x";
        return documents / name;
    }
    std::string doc(const std::string& name) const { return (documents / name).string(); }

    int run(const Args& arguments, int defaultConcurrent = 1) {
        out.str({});
        err.str({});
        const CommandLineParts parts{
            .version = fakes.version,
            .machine = fakes.machine,
            .files = fakes.files,
            .office = fakes.office,
            .moreOffices =
                [this] {
                    std::lock_guard lock(extraMutex);
                    extra.push_back(std::make_unique<fakes::FakeOffice>());
                    extra.back()->failAt = fakes.office.failAt;
                    return std::unique_ptr<platform::OfficeLauncher>(
                        std::make_unique<ForwardingOffice>(*extra.back()));
                },
            .processes = fakes.processes,
            .registry = fakes.registry,
            .archive = archive,
            .stop = stop,
            .out = out,
            .err = err,
            .terminal = false,
            .defaultConcurrent = defaultConcurrent,
        };
        return RunCommandLine(arguments, parts);
    }

    // The documents each office opened, over all offices.
    std::vector<std::string> opened() const {
        std::vector<std::string> paths;
        const auto collect = [&](const fakes::FakeOffice& office) {
            for (const auto& call : office.calls)
                if (call.rfind("open:", 0) == 0) paths.push_back(call.substr(5));
        };
        collect(fakes.office);
        for (const auto& office : extra) collect(*office);
        return paths;
    }
    std::string log() { return fakes.files.files[fakes.logPath()]; }
    std::string file(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    // A launcher of its own, whose calls the test can still read after it is
    // gone.
    struct ForwardingOffice : platform::OfficeLauncher {
        explicit ForwardingOffice(fakes::FakeOffice& office) : office(office) {}
        std::unique_ptr<platform::OfficeApplication> startNew() override {
            return office.startNew();
        }
        std::string checkMacro(const std::string& name) override { return office.checkMacro(name); }
        fakes::FakeOffice& office;
    };

    TempFolder folder;
    fs::path documents;
    fakes::FakePlatform fakes;
    FakeStop stop;
    platform::ArchiveStore* archive = nullptr;
    std::ostringstream out, err;
    std::mutex extraMutex;
    std::vector<std::unique_ptr<fakes::FakeOffice>> extra;
};

TEST_F(CommandLineTest, EditsTheSettingsPatternsDocumentsAndExitsZero) {
    EXPECT_EQ(run({"--makro", "Ret", documents.string()}), 0) << err.str();
    EXPECT_EQ(opened(), (Args{doc("a.doc"), doc("b;æøå.doc"), doc("c.rtf")}));
    EXPECT_EQ(fakes.office.calls.front(), "check:Ret");
    EXPECT_EQ(std::count(fakes.office.calls.begin(), fakes.office.calls.end(), "run:Ret"), 3);
    EXPECT_EQ(fakes.office.running, 0);
    EXPECT_EQ(log(), "");
    EXPECT_EQ(err.str(), "");
    EXPECT_NE(out.str().find("3 editeret, 0 fejlede."), std::string::npos) << out.str();
}

TEST_F(CommandLineTest, AFailedDocumentIsLoggedAsTheWindowLogsItReportedAndGivesOne) {
    fakes.office.failOn("open:" + doc("b;æøå.doc"), 5174, "Filen blev ikke fundet");
    const fs::path report = fs::path(folder.path()) / "rapport.csv";
    EXPECT_EQ(run({"--makro=Ret", "--filtyper", "*.doc", "--rapport", report.string(),
                   documents.string()}),
              1);
    EXPECT_EQ(opened(), (Args{doc("a.doc"), doc("b;æøå.doc")}));
    EXPECT_EQ(log(),
              "08-12-2026, 14:07:09, 5174, " + doc("b;æøå.doc") + ", Filen blev ikke fundet\r\n");
    const std::string text = file(report);
    EXPECT_NE(text.find("\"" + doc("a.doc") + "\";\"Editeret\";\"\";\"\";\""), std::string::npos)
        << text;
    EXPECT_NE(
        text.find("\"" + doc("b;æøå.doc") + "\";\"Fejl\";\"5174\";\"Filen blev ikke fundet\";\""),
        std::string::npos)
        << text;
    EXPECT_LT(text.find("a.doc"), text.find("b;æøå.doc"));
}

TEST_F(CommandLineTest, BadUsageOrAnUnknownMacroTouchesNothingAndGivesTwo) {
    fakes.office.missingMacros["Ukendt"] = "Makroen \"Ukendt\" findes ikke.";
    const fs::path report = fs::path(folder.path()) / "rapport.csv";
    const struct {
        Args arguments;
        std::string message;
        bool macroChecked;
    } cases[] = {
        {{"--makro", "Ret", "--ukendt", documents.string()}, "Ukendt tilvalg: --ukendt", false},
        {{documents.string()}, "Angiv makroen med --makro NAVN.", false},
        {{"--makro", "Ret", doc("mangler.doc")}, "Stien findes ikke: ", false},
        {{"--makro", "Ret", "--rapport", (documents / "x" / "r.csv").string(), doc("a.doc")},
         "Rapporten kan ikke skrives: mappen findes ikke",
         false},
        {{"--makro", "Ret", "--fortryd"}, "--fortryd tager hverken makro", false},
        {{"--makro", "Ukendt", "--rapport", report.string(), documents.string()},
         "Makroen \"Ukendt\" findes ikke.",
         true},
    };
    for (const auto& c : cases) {
        fakes.office.calls.clear();
        EXPECT_EQ(run(c.arguments), 2) << c.message;
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
        EXPECT_EQ(fakes.office.calls.size(), c.macroChecked ? 1u : 0u) << c.message;
        EXPECT_FALSE(fs::exists(report));
    }
    EXPECT_EQ(log(), "");
}

TEST_F(CommandLineTest, NoMatchingDocumentStartsNoOfficeAndIsNoFailure) {
    const fs::path report = fs::path(folder.path()) / "rapport.csv";
    EXPECT_EQ(run({"--makro", "Ret", "--filtyper", "*.dot", "--rapport", report.string(),
                   documents.string()}),
              0);
    EXPECT_TRUE(fakes.office.calls.empty());
    EXPECT_NE(out.str().find("Ingen dokumenter passer til *.dot"), std::string::npos);
    EXPECT_EQ(file(report),
              "\xEF\xBB\xBF\"Sti\";\"Resultat\";\"Fejlnummer\";"
              "\"Beskrivelse\";\"Sekunder\"\r\n");
}

TEST_F(CommandLineTest, AStopFinishesTheDocumentInHandStartsNoOtherAndGives130) {
    // The stop comes while the first document is open in its office.
    stop.when = [this] {
        return std::count(fakes.office.calls.begin(), fakes.office.calls.end(), "run:Ret") > 0;
    };
    const fs::path report = fs::path(folder.path()) / "rapport.csv";
    EXPECT_EQ(run({"--makro", "Ret", "--rapport", report.string(), documents.string()}), 130);
    EXPECT_EQ(opened(), Args{doc("a.doc")});
    EXPECT_EQ(fakes.office.running, 0);
    const std::string text = file(report);
    EXPECT_NE(text.find("\"" + doc("a.doc") + "\";\"Editeret\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"" + doc("c.rtf") + "\";\"Ikke nået\";\"\";\"\";\"\""), std::string::npos)
        << text;

    // Asked before anything began: not even the macro is looked for.
    fakes.office.calls.clear();
    stop.when = [] { return true; };
    EXPECT_EQ(run({"--makro", "Ret", documents.string()}), 130);
    EXPECT_TRUE(fakes.office.calls.empty());
}

TEST_F(CommandLineTest, SeveralAtOnceGiveEachWorkerAnOfficeOfItsOwnAndKeepTheReportOrder) {
    for (int i = 0; i < 12; ++i) write("n" + std::to_string(10 + i) + ".doc");
    fakes.office.failOn("open:" + doc("n15.doc"), 1001, "Tiden løb ud");
    const fs::path report = fs::path(folder.path()) / "rapport.csv";
    EXPECT_EQ(run({"--makro", "Ret", "--rapport", report.string(), documents.string()}, 3), 1);

    EXPECT_EQ(extra.size(), 2u);
    std::vector<std::string> all = opened();
    std::sort(all.begin(), all.end());
    EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end()) << "a document edited twice";
    EXPECT_EQ(all.size(), 15u);

    std::istringstream rows(file(report));
    std::vector<std::string> order;
    for (std::string row; std::getline(rows, row);) order.push_back(row.substr(0, row.find(';')));
    ASSERT_EQ(order.size(), 16u);
    EXPECT_EQ(order[1], "\"" + doc("a.doc") + "\"");
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(order[4 + i], "\"" + doc("n" + std::to_string(10 + i) + ".doc") + "\"");
}

// The documents live in the fake archive store, which the office's saves
// change.
class CommandLineUndoTest : public CommandLineTest {
  protected:
    void SetUp() override {
        CommandLineTest::SetUp();
        archive = &store;
        for (const auto& name : names) store.files[doc(name)] = "original " + name;
        fakes.office.onSave = [this](const std::string& path) { store.files[path] += " + makro"; };
    }
    std::string content(const std::string& name) { return store.files[doc(name)]; }
    std::size_t runs() { return store.subfolders(store.root).size(); }

    const std::vector<std::string> names{"a.doc", "b;æøå.doc", "c.rtf"};
    fakes::FakeArchiveStore store;
};

TEST_F(CommandLineUndoTest, FortrydPutsBackTheLastRunLeavesAHandChangeAndThenTakesTheRunBefore) {
    ASSERT_EQ(run({"--makro", "Ret", doc("a.doc")}), 0) << err.str();
    ASSERT_EQ(run({"--makro", "Ret", "--samtidige", "1", documents.string()}), 0) << err.str();
    EXPECT_EQ(content("a.doc"), "original a.doc + makro + makro");
    EXPECT_EQ(runs(), 2u);
    store.files[doc("b;æøå.doc")] = "brugerens ændring";

    fakes.office.calls.clear();
    EXPECT_EQ(run({"--fortryd"}), 1);
    EXPECT_EQ(content("a.doc"), "original a.doc + makro");
    EXPECT_EQ(content("c.rtf"), "original c.rtf");
    EXPECT_EQ(content("b;æøå.doc"), "brugerens ændring");
    EXPECT_TRUE(fakes.office.calls.empty());
    const std::string shown = out.str();
    EXPECT_NE(shown.find("Fortryder kørslen 08-12-2026 14:07:09 med makroen Ret: "
                         "3 dokumenter"),
              std::string::npos)
        << shown;
    EXPECT_NE(shown.find("Ikke sat tilbage: " + doc("b;æøå.doc") +
                         ": dokumentet er ændret efter kørslen\n"),
              std::string::npos)
        << shown;
    EXPECT_NE(shown.find("2 dokumenter sat tilbage!"), std::string::npos) << shown;
    EXPECT_EQ(log(), "08-12-2026, 14:07:09, 1102, " + doc("b;æøå.doc") +
                         ", Ikke sat tilbage: dokumentet er ændret efter kørslen\r\n");

    // The run is undone: the next --fortryd takes the one before, and all of it
    // goes back.
    EXPECT_EQ(run({"--fortryd"}), 0) << out.str() << err.str();
    EXPECT_EQ(content("a.doc"), "original a.doc");
    EXPECT_NE(out.str().find("1 dokument sat tilbage!"), std::string::npos) << out.str();

    EXPECT_EQ(run({"--fortryd"}), 1);
    EXPECT_EQ(err.str(), "pravelo: Der er ingen kørsel at fortryde.\n");
    EXPECT_EQ(out.str(), "");
}

TEST_F(CommandLineUndoTest, NoWayBackNoEditAndAStoppedBatchStaysUndoable) {
    store.full = true;
    const fs::path report = fs::path(folder.path()) / "rapport.csv";
    EXPECT_EQ(run({"--makro", "Ret", "--rapport", report.string(), doc("a.doc"), doc("c.rtf")}), 1);
    EXPECT_EQ(opened(), Args{});
    EXPECT_EQ(content("a.doc"), "original a.doc");
    std::istringstream lines(log());
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count)
        EXPECT_NE(line.find("1101, " + doc(count == 0 ? "a.doc" : "c.rtf") + ", Ingen vej tilbage"),
                  std::string::npos)
            << line;
    EXPECT_EQ(count, 2);
    EXPECT_NE(file(report).find("\"" + doc("a.doc") + "\";\"Fejl\";\"1101\";\"Ingen vej tilbage"),
              std::string::npos)
        << file(report);
    EXPECT_EQ(runs(), 0u);

    // Stopped after the first document: that one can still be put back.
    store.full = false;
    stop.when = [this] {
        return std::count(fakes.office.calls.begin(), fakes.office.calls.end(), "run:Ret") > 0;
    };
    EXPECT_EQ(run({"--makro", "Ret", documents.string()}), 130);
    stop.when = [] { return false; };
    EXPECT_EQ(content("a.doc"), "original a.doc + makro");
    EXPECT_EQ(run({"--fortryd"}), 0) << err.str();
    EXPECT_EQ(content("a.doc"), "original a.doc");
    EXPECT_NE(out.str().find("1 dokument sat tilbage!"), std::string::npos) << out.str();
}

TEST_F(CommandLineUndoTest, FortrydWithAnEditsArgumentsIsBadUsageAndPutsNothingBack) {
    ASSERT_EQ(run({"--makro", "Ret", doc("a.doc")}), 0);
    for (const Args& arguments :
         {Args{"--fortryd", "--makro", "Ret"}, Args{"--fortryd", doc("a.doc")},
          Args{"--rapport", "r.csv", "--fortryd"}, Args{"--fortryd", "--undermapper"}}) {
        EXPECT_EQ(run(arguments), 2) << arguments[1];
        EXPECT_NE(err.str().find("--fortryd tager hverken makro"), std::string::npos) << err.str();
    }
    EXPECT_EQ(store.putBacks, 0);
    EXPECT_EQ(content("a.doc"), "original a.doc + makro");
}

}  // namespace
}  // namespace pravelo::command_line
