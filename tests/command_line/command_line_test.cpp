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
            "08-12-2026, 14:07:09\r\n[Makro]\r\nMOLVARIKtilret\r\n\r\n[DocType]\r\n*.doc\r\n"
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

    // A launcher of its own, whose calls the test can still read after it is gone.
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
        {{"--makro", "Ret", "--fortryd"}, "--fortryd findes ikke endnu", false},
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
              "\xEF\xBB\xBF\"Sti\";\"Resultat\";\"Fejlnummer\";\"Beskrivelse\";\"Sekunder\"\r\n");
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

}  // namespace
}  // namespace pravelo::command_line
