// The guard that every office runs under, with plain programs in the office's
// place.
#include "platform/libreoffice/guard/office_process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <thread>

#include "office_fixture.h"
#include "platform/error.h"

namespace fs = std::filesystem;
using pravelo::platform::libreoffice::OfficeProcess;
using pravelo::testing::TempFolder;

namespace {

pid_t readPid(const fs::path& file) {
    for (int i = 0; i < 200 && fs::file_size(file) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    pid_t pid = 0;
    std::ifstream(file) >> pid;
    return pid;
}

}  // namespace

// Ended at once and whole, also what the first process left running when it
// ended, and the profile folder with it.
TEST(OfficeGuard, KillEndsTheWholeOfficeAtOnce) {
    TempFolder folder;
    const fs::path profile = folder.path() / "profil";
    fs::create_directories(profile);
    const fs::path orphanPid = folder.path() / "pid";
    std::ofstream(orphanPid).close();
    std::optional<OfficeProcess> office;
    office.emplace(
        "/bin/sh",
        std::vector<std::string>{"-c", "sleep 61 & echo $! > '" + orphanPid.string() + "'; exit 0"},
        pravelo::platform::libreoffice::OfficeLeftovers{.profile = profile});
    const pid_t orphan = readPid(orphanPid);
    ASSERT_GT(orphan, 0);
    // The first process has ended, but the office has not.
    EXPECT_FALSE(office->waitForExit(std::chrono::milliseconds(300)));
    EXPECT_FALSE(office->running());
    const auto start = std::chrono::steady_clock::now();
    office->killAndReap();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_NE(::kill(orphan, 0), 0) << "the orphan still runs";
    // The guard has gone with the office, and the profile folder with them.
    office.reset();
    EXPECT_FALSE(fs::exists(profile)) << "the profile folder is left";
}

TEST(OfficeGuard, AnOfficeThatEndsByItselfIsReportedAtOnce) {
    OfficeProcess office("/bin/sh", {"-c", "exit 3"});
    EXPECT_TRUE(office.waitForExit(std::chrono::seconds(5)));
    EXPECT_EQ(WEXITSTATUS(office.exitStatus()), 3);
}

TEST(OfficeGuard, AProgramThatCannotStartIsAnError) {
    EXPECT_THROW(OfficeProcess("/no/such/office", {}), pravelo::platform::Error);
}
