// What the fork engine adds to the launcher's guarantees: documents do not
// share what a macro leaves, one warm host serves them all, and a killed
// program leaves nothing.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "launcher_fixture.h"
#include "platform/libreoffice/guard/office_process.h"
#include "platform/libreoffice/office_engine.h"
#include "platform/libreoffice/office_errors.h"
#include "wait_until.h"

using namespace pravelo::testing;
using pravelo::platform::libreoffice::OfficeEngine;

namespace {

// Leaves a Basic global, a changed setting and a file in the profile; Look
// writes what it finds into the document.
const std::string traces =
    "Global Marker As String\n"
    "\n"
    "Function SpellAccess() As Object\n"
    "    Dim args(0) As New com.sun.star.beans.PropertyValue\n"
    "    Dim provider As Object\n"
    "    args(0).Name = \"nodepath\"\n"
    "    args(0).Value = \"/org.openoffice.Office.Linguistic/SpellChecking\"\n"
    "    provider = createUnoService(\"com.sun.star.configuration.ConfigurationProvider\")\n"
    "    SpellAccess = provider.createInstanceWithArguments("
    "\"com.sun.star.configuration.ConfigurationUpdateAccess\", args())\n"
    "End Function\n"
    "\n"
    "Function TraceFile() As String\n"
    "    Dim paths As Object\n"
    "    paths = createUnoService(\"com.sun.star.util.PathSettings\")\n"
    "    TraceFile = ConvertFromURL(paths.UserConfig) & \"/pravelo-spor.txt\"\n"
    "End Function\n"
    "\n"
    "Sub Leave\n"
    "    Dim settings As Object\n"
    "    Dim path As String\n"
    "    Marker = \"SAT\"\n"
    "    settings = SpellAccess()\n"
    "    settings.replaceByName(\"IsSpellAuto\", True)\n"
    "    settings.commitChanges()\n"
    "    path = TraceFile()\n"
    "    Open path For Output As #1\n"
    "    Print #1, \"spor\"\n"
    "    Close #1\n"
    "    ThisComponent.getText().getStart().setString(\"LEFT \")\n"
    "End Sub\n"
    "\n"
    "Sub Look\n"
    "    Dim settings As Object\n"
    "    Dim found As String\n"
    "    settings = SpellAccess()\n"
    "    found = \"global=\" & Marker & \";spell=\" & settings.getByName(\"IsSpellAuto\")\n"
    "    found = found & \";file=\" & FileExists(TraceFile()) & \"; \"\n"
    "    ThisComponent.getText().getStart().setString(found)\n"
    "End Sub\n";

}  // namespace

// Also once for each way a fork gets its profile.
class IsolationTest : public LauncherTest {};

TEST_P(IsolationTest, WhatAMacroLeavesDoesNotReachTheNextDocument) {
    writeUserProfile(userProfile(), {{"Standard", {{"Module1", traces}}}});
    profileBefore = folderDigest(userProfile());
    auto office = launcher();
    auto error = edit(office, document, "Leave");
    ASSERT_FALSE(error) << error->description();
    ASSERT_NE(officeText(document).find("LEFT "), std::string::npos);
    // The view asked for, not a fallback.
    if (office.fork() != nullptr) {
        EXPECT_EQ("fork-" + office.fork()->host()->view(), GetParam());
    }
    // Within one office the traces are there, so Look can see them.
    {
        auto app = office.startNew();
        app->documents().open(other.string());
        app->run("Leave");
        app->run("Look");
        app->activeDocument()->close(OfficeDocument::SaveChanges);
        app->quit();
        const auto text = officeText(other);
        EXPECT_NE(text.find("global=SAT;spell=True;file=True"), std::string::npos) << text;
    }
    fs::copy_file(wordFixtures() / "second.doc", other, fs::copy_options::overwrite_existing);
    error = edit(office, other, "Look");
    ASSERT_FALSE(error) << error->description();
    const auto text = officeText(other);
    EXPECT_NE(text.find("global=;"), std::string::npos) << text;
    EXPECT_NE(text.find("spell=False"), std::string::npos) << text;
    EXPECT_NE(text.find("file=False"), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(Views, IsolationTest,
                         ::testing::Values("uno", "fork-overlay", "fork-userns", "fork-copy"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

class ForkEngineTest : public LauncherTest {};

TEST_P(ForkEngineTest, OneWarmHostServesEveryDocumentAndOutlivesAKilledFork) {
    auto office = launcher(std::chrono::seconds(4));
    ASSERT_FALSE(edit(office, document, "InsertText"));
    ASSERT_NE(office.fork()->host(), nullptr);
    const pid_t host = office.fork()->host()->pid();
    EXPECT_LT(office.fork()->host()->startCost(), std::chrono::seconds(30));
    const auto error = edit(office, other, "LoopForever");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), pravelo::platform::libreoffice::errors::TimedOut);
    fs::copy_file(wordFixtures() / "first.doc", document, fs::copy_options::overwrite_existing);
    const auto again = edit(office, document, "InsertText");
    ASSERT_FALSE(again) << again->description();
    EXPECT_EQ(office.fork()->host()->pid(), host);
    // The host has no fork left over but the one made ahead for a next document.
    std::istringstream children(
        readBytes("/proc/" + std::to_string(host) + "/task/" + std::to_string(host) + "/children"));
    EXPECT_LE(std::distance(std::istream_iterator<pid_t>(children), {}), 1);
}

// The program killed while a document is open: the host ends its fork, removes
// the document's lock file and the private profile, and ends.
TEST_P(ForkEngineTest, AKilledProgramLeavesNothingBehind) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t program = ::fork();
    if (program == 0) {
        ::close(ready[0]);
        try {
            AnyLauncher office(GetParam(), options(), hosts);
            auto app = office.startNew();
            app->documents().open(document.string());
            const std::string host = std::to_string(office.fork()->host()->pid()) + "\n";
            [[maybe_unused]] auto written = ::write(ready[1], host.data(), host.size());
            ::pause();
        } catch (...) {
        }
        ::_exit(1);
    }
    ::close(ready[1]);
    char buffer[32] = {};
    const auto got = ::read(ready[0], buffer, sizeof buffer - 1);
    ::close(ready[0]);
    ASSERT_GT(got, 0) << "the program could not open the document";
    const pid_t host = std::atoi(buffer);
    EXPECT_TRUE(fs::exists(pravelo::platform::libreoffice::lockFileOf(document)));
    ::kill(program, SIGKILL);
    ::waitpid(program, nullptr, 0);
    EXPECT_TRUE(
        pravelo::testing::waitUntil([&] { return ::kill(host, 0) != 0; }, std::chrono::seconds(10)))
        << "the host outlived the program";
    EXPECT_FALSE(fs::exists(pravelo::platform::libreoffice::lockFileOf(document)));
    // TearDown: the private folder is empty.
}

// A fork may do what the host may, never more, and an exec gives it nothing.
TEST_P(ForkEngineTest, AForkHoldsNoRightTheHostDoesNot) {
    auto office = launcher();
    auto app = office.startNew();
    const auto forks = runningOffices(office);
    ASSERT_FALSE(forks.empty());
    const auto value = [](const std::string& lines, const std::string& name) {
        const auto at = lines.find(name + ":\t");
        return at == std::string::npos
                   ? ~0ull
                   : std::stoull(lines.substr(at + name.size() + 2), nullptr, 16);
    };
    const std::string host = capabilityLines(office.fork()->host()->pid());
    // The one in use, and the one made ahead once it has set itself up.
    for (const pid_t pid : forks) {
        std::string fork;
        pravelo::testing::waitUntil(
            [&] { return value(fork = capabilityLines(pid), "NoNewPrivs") == 1; },
            std::chrono::seconds(2));
        for (const char* set : {"CapEff", "CapPrm", "CapBnd"})
            EXPECT_EQ(value(fork, set) & ~value(host, "CapPrm"), 0u) << set << "\n" << fork;
        EXPECT_EQ(value(fork, "CapInh"), 0u) << fork;
        EXPECT_EQ(value(fork, "CapAmb"), 0u) << fork;
        EXPECT_EQ(value(fork, "NoNewPrivs"), 1u) << fork;
    }
    app->quit();
}

// The fork made ahead for a next document that never comes: it goes, with its
// folder (temporary files and profile view), when the engine ends and when the
// program is killed.
TEST_P(ForkEngineTest, AForkMadeAheadLeavesNothingBehind) {
    // Once a document is done, the host's only fork is the one made ahead.
    const auto madeAhead = [this](const AnyLauncher& office) -> std::pair<pid_t, fs::path> {
        std::pair<pid_t, fs::path> found{-1, {}};
        pravelo::testing::waitUntil(
            [&] {
                const auto forks = runningOffices(office);
                if (forks.size() != 1) return false;
                for (const auto& entry : fs::recursive_directory_iterator(privateFolder()))
                    if (entry.path().parent_path().filename() == "forks")
                        found = {forks[0], entry.path()};
                return found.first > 0;
            },
            std::chrono::seconds(5));
        return found;
    };
    const auto gone = [](pid_t pid) {
        return pravelo::testing::waitUntil([pid] { return ::kill(pid, 0) != 0; },
                                           std::chrono::seconds(10));
    };
    pid_t ahead = -1;
    fs::path folder;
    {
        auto office = launcher();
        ASSERT_FALSE(edit(office, document, "InsertText"));
        std::tie(ahead, folder) = madeAhead(office);
        ASSERT_GT(ahead, 0) << "no fork was made ahead";
        EXPECT_TRUE(fs::exists(folder / "tmp"));
    }
    EXPECT_TRUE(gone(ahead)) << "the fork made ahead outlived the engine";
    EXPECT_FALSE(fs::exists(folder));

    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t program = ::fork();
    if (program == 0) {
        ::close(ready[0]);
        try {
            AnyLauncher office(GetParam(), options(), hosts);
            if (!edit(office, document, "InsertText")) {
                const auto [pid, path] = madeAhead(office);
                const std::string line = std::to_string(office.fork()->host()->pid()) + " " +
                                         std::to_string(pid) + " " + path.string();
                [[maybe_unused]] auto written = ::write(ready[1], line.data(), line.size());
                ::pause();
            }
        } catch (...) {
        }
        ::_exit(1);
    }
    ::close(ready[1]);
    char buffer[4096] = {};
    const auto got = ::read(ready[0], buffer, sizeof buffer - 1);
    ::close(ready[0]);
    ::kill(program, SIGKILL);
    ::waitpid(program, nullptr, 0);
    ASSERT_GT(got, 0) << "the program could not edit a document";
    std::istringstream line(buffer);
    pid_t host = -1;
    line >> host >> ahead;
    std::string path;
    std::getline(line >> std::ws, path);
    folder = path;
    ASSERT_GT(ahead, 0) << "no fork was made ahead";
    EXPECT_TRUE(gone(host)) << "the host outlived the program";
    EXPECT_TRUE(gone(ahead)) << "the fork made ahead outlived the program";
    EXPECT_FALSE(fs::exists(folder));
    // TearDown: no office, profile or lock file is left.
}

INSTANTIATE_TEST_SUITE_P(Views, ForkEngineTest,
                         ::testing::Values("fork-overlay", "fork-userns", "fork-copy"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(OfficeEngine, TheUnoLauncherIsChosenByNameOrWhenTheHostCannotStart) {
    TempFolder folder;
    LibreOfficeOptions options = LibreOfficeOptions::defaults();
    options.tempFolder = folder.path();
    EXPECT_EQ(OfficeEngine(options, "uno").current(), "uno");
    EXPECT_EQ(OfficeEngine(options, "").current(), "fork");

    // No office at all: the host cannot start, and the fallback fails in turn.
    options.soffice = folder.path() / "intet kontor" / "soffice";
    OfficeEngine engine(options, "");
    EXPECT_THROW(engine.startNew(), Error);
    EXPECT_EQ(engine.current(), "uno");
}

// Each batch runs the macros the user has when it starts, also when the user
// changed them in their own office while the program stayed open.
TEST_P(LauncherTest, EachBatchRunsTheMacrosTheUserHasNow) {
    TempFolder linked;
    const fs::path library = linked.path() / "Delt";
    const auto writeLinked = [&](const std::string& text) {
        writeUserProfile(linked.path() / "holder",
                         {{"Delt",
                           {{"Faelles",
                             "Sub FromShared\n"
                             "    ThisComponent.getText().getStart().setString(\"" +
                                 text +
                                 " \")\n"
                                 "End Sub\n"}}}});
        fs::remove_all(library);
        fs::rename(linked.path() / "holder" / "basic" / "Delt", library);
    };
    const auto writeStandard = [&](const std::string& text) {
        writeUserProfile(userProfile(), {{"Standard",
                                          {{"Module1",
                                            "Sub InsertText\n"
                                            "    ThisComponent.getText().getStart().setString(\"" +
                                                text +
                                                " \")\n"
                                                "End Sub\n"}}}});
        const fs::path index = userProfile() / "basic" / "script.xlc";
        std::string xlc = readBytes(index);
        xlc.insert(xlc.rfind("</library:libraries>"),
                   " <library:library library:name=\"Delt\" xlink:href=\"file://" +
                       library.string() +
                       "/script.xlb/\" xlink:type=\"simple\" library:link=\"true\" "
                       "library:readonly=\"false\"/>\n");
        std::ofstream(index, std::ios::binary | std::ios::trunc) << xlc;
        profileBefore = folderDigest(userProfile());
    };
    writeLinked("DELT-1");
    writeStandard("UDGAVE-1");
    auto office = launcher();
    const auto batch = [&](const std::string& macro, const std::string& expected) {
        fs::copy_file(wordFixtures() / "first.doc", document, fs::copy_options::overwrite_existing);
        ASSERT_EQ(office.checkMacro(macro), "");
        const auto error = edit(office, document, macro);
        ASSERT_FALSE(error) << error->description();
        EXPECT_NE(officeText(document).find(expected + " Første"), std::string::npos)
            << macro << " should give " << expected;
    };
    batch("InsertText", "UDGAVE-1");
    batch("Delt.Faelles.FromShared", "DELT-1");
    writeStandard("UDGAVE-2");
    batch("InsertText", "UDGAVE-2");
    writeLinked("DELT-2");
    batch("Delt.Faelles.FromShared", "DELT-2");
}

// Nothing in a file of no bytes for the office to read: it says so, and the
// file stays empty.
TEST_P(LauncherTest, AnEmptyDocumentFailsSayingSo) {
    const fs::path empty = work / "tom.doc";
    std::ofstream{empty};
    auto office = launcher();
    const auto error = edit(office, empty, "InsertText");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), pravelo::platform::libreoffice::errors::CannotOpen);
    EXPECT_EQ(error->description(),
              "Dokumentet " + empty.string() + " er tomt (0 byte), så det er ikke ændret");
    EXPECT_EQ(fs::file_size(empty), 0u);
}

namespace {

std::size_t entriesIn(const fs::path& folder) {
    std::error_code ec;
    std::size_t count = 0;
    for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::end(it); it.increment(ec))
        ++count;
    return count;
}

// This process's descendants.
std::size_t ourProcesses() {
    std::vector<pid_t> todo{::getpid()};
    std::size_t count = 0;
    while (!todo.empty()) {
        const std::string pid = std::to_string(todo.back());
        todo.pop_back();
        std::istringstream children(readBytes("/proc/" + pid + "/task/" + pid + "/children"));
        for (pid_t child; children >> child; ++count) todo.push_back(child);
    }
    return count;
}

}  // namespace

// A long batch keeps what the host holds flat: after the first documents its
// descriptors and our processes stay as they were, and the end leaves nothing.
class LongBatchTest : public LauncherTest {};

TEST_P(LongBatchTest, DescriptorsAndProcessesStayFlatAndNothingIsLeft) {
    auto office = launcher();
    std::size_t descriptors = 0;
    std::size_t processes = 0;
    std::string hostFds;
    for (int i = 1; i <= 60; ++i) {
        fs::copy_file(wordFixtures() / "first.doc", document, fs::copy_options::overwrite_existing);
        const auto error = edit(office, document, i % 20 == 0 ? "DivideByZero" : "InsertText");
        ASSERT_EQ(!error, i % 20 != 0) << i << ": " << (error ? error->description() : "");
        if (i == 1) hostFds = "/proc/" + std::to_string(office.fork()->host()->pid()) + "/fd";
        if (i == 10) {
            descriptors = entriesIn(hostFds);
            processes = ourProcesses();
        }
    }
    EXPECT_EQ(entriesIn(hostFds), descriptors);
    EXPECT_EQ(ourProcesses(), processes);
    EXPECT_EQ(processes, 2u) << "the host and the fork made ahead, between documents";
    // TearDown: no host, office, profile, lock or safety copy is left.
}

INSTANTIATE_TEST_SUITE_P(Default, LongBatchTest, ::testing::Values("fork"),
                         [](const auto& info) { return info.param; });
