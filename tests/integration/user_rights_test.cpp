// An office never has more rights than the user who runs the program: as an
// ordinary user, a document the user made read-only or unreadable fails and
// stays as it is, however the office gets its profile. (The overlay without a
// user namespace needs root's rights, which are then the user's.)
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "launcher_fixture.h"

using namespace pravelo::testing;

namespace {

constexpr uid_t Nobody = 65534;

bool becomeOrdinaryUser() {
    if (::geteuid() != 0) return true;
    return ::setgroups(0, nullptr) == 0 && ::setresgid(Nobody, Nobody, Nobody) == 0 &&
           ::setresuid(Nobody, Nobody, Nobody) == 0;
}

void chownTree(const fs::path& folder) {
    ::chown(folder.c_str(), Nobody, Nobody);
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        ::lchown(entry.path().c_str(), Nobody, Nobody);
}

const std::string writesProtected(const fs::path& protectedFile) {
    return "Sub WriteProtected\n"
           "    Open \"" +
           protectedFile.string() +
           "\" For Output As #1\n"
           "    Print #1, \"OVERSKREVET\"\n"
           "    Close #1\n"
           "    ThisComponent.getText().getStart().setString(\"SKREV \")\n"
           "End Sub\n";
}

}  // namespace

class UserRightsTest : public LauncherTest {};

TEST_P(UserRightsTest, ReadOnlyAndUnreadableDocumentsOfAnOrdinaryUserFailUnchanged) {
    const fs::path readOnly = work / "skrivebeskyttet.doc";
    const fs::path unreadable = work / "ulæselig.doc";
    // In a folder of the user's own that the user made read-only too, so the
    // macro cannot put a new file in its place.
    const fs::path protectedFile = work / "beskyttet" / "beskyttet.txt";
    fs::create_directory(protectedFile.parent_path());
    const fs::path other2 = work / "tredje.doc";
    fs::copy_file(wordFixtures() / "first.doc", readOnly);
    fs::copy_file(wordFixtures() / "first.doc", unreadable);
    fs::copy_file(wordFixtures() / "second.doc", other2);
    std::ofstream(protectedFile) << "MIT EGET\n";
    writeUserProfile(
        userProfile(),
        {{"Standard",
          {{"Module1", standardModule(other)}, {"Module2", writesProtected(protectedFile)}}}});
    profileBefore = folderDigest(userProfile());
    fs::create_directories(root.path() / "home");
    privateFolder();
    if (::geteuid() == 0) chownTree(root.path());
    ::chmod(readOnly.c_str(), 0444);
    ::chmod(unreadable.c_str(), 0000);
    ::chmod(protectedFile.c_str(), 0444);
    ::chmod(protectedFile.parent_path().c_str(), 0555);
    const std::string readOnlyBefore = readBytes(readOnly);
    const std::string unreadableBefore = readBytes(unreadable);

    // The program, as the ordinary user; each document's outcome comes back
    // one line each: "-" for success, else the failure's text.
    int results[2];
    ASSERT_EQ(::pipe(results), 0);
    const pid_t program = ::fork();
    if (program == 0) {
        ::close(results[0]);
        std::string report;
        std::string rights;
        if (!becomeOrdinaryUser()) ::_exit(2);
        ::setenv("HOME", (root.path() / "home").c_str(), 1);
        try {
            std::vector<pid_t> hosts;
            AnyLauncher office(GetParam(), options(), hosts);
            {
                // A fork's rights, while it has a document open.
                auto app = office.startNew();
                const auto forks =
                    office.fork() != nullptr ? runningOffices(office) : std::vector<pid_t>{};
                for (const pid_t fork : forks) rights += capabilityLines(fork);
                app->quit();
            }
            for (const auto& [path, macro] :
                 std::vector<std::pair<fs::path, std::string>>{{document, "InsertText"},
                                                               {readOnly, "InsertText"},
                                                               {unreadable, "InsertText"},
                                                               {other2, "WriteProtected"}}) {
                const auto error = edit(office, path, macro);
                std::string line = error ? error->description() : "-";
                std::replace(line.begin(), line.end(), '\n', ' ');
                report += line + "\n";
            }
            if (office.fork() != nullptr && office.fork()->host() != nullptr)
                report += "fork-" + office.fork()->host()->view() + "\n";
            report += rights;
        } catch (const std::exception& e) {
            report += std::string("! ") + e.what() + "\n";
        }
        [[maybe_unused]] auto written = ::write(results[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(results[1]);
    std::string report;
    char buffer[4096];
    for (ssize_t got; (got = ::read(results[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, static_cast<std::size_t>(got));
    ::close(results[0]);
    int status = 0;
    ::waitpid(program, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "cannot become user " << Nobody;

    std::vector<std::string> lines;
    std::istringstream in(report);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_GE(lines.size(), 4u) << report;
    if (GetParam() != "uno" && lines.size() > 4 && lines[4] != GetParam())
        GTEST_SKIP() << "this system allows no " << GetParam() << " here: " << lines[4];

    if (GetParam() != "uno") {
        EXPECT_NE(report.find("CapEff:\t0000000000000000"), std::string::npos) << report;
        EXPECT_NE(report.find("CapPrm:\t0000000000000000"), std::string::npos) << report;
        EXPECT_NE(report.find("NoNewPrivs:\t1"), std::string::npos) << report;
    }
    EXPECT_EQ(lines[0], "-") << "an ordinary document must still be edited";
    EXPECT_NE(officeText(document).find("PRAVELO-EDITED"), std::string::npos);
    for (const auto& [line, path] : {std::pair{lines[1], readOnly}, {lines[2], unreadable}}) {
        EXPECT_NE(line.find(path.string()), std::string::npos) << line;
        EXPECT_NE(line.find("Adgang nægtet"), std::string::npos) << line;
    }
    EXPECT_EQ(readBytes(readOnly), readOnlyBefore);
    EXPECT_EQ(readBytes(unreadable), unreadableBefore);
    EXPECT_NE(lines[3], "-") << "the macro wrote to a read-only file";
    EXPECT_EQ(readBytes(protectedFile), "MIT EGET\n");
    EXPECT_EQ(officeText(other2).find("SKREV"), std::string::npos);
    ::chmod(protectedFile.parent_path().c_str(), 0755);
    // TearDown, as root, finds no office, lock file or profile left behind.
}

INSTANTIATE_TEST_SUITE_P(Views, UserRightsTest,
                         ::testing::Values("uno", "fork-userns", "fork-copy"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });
