#include <gtest/gtest.h>
#include <locale.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/posix/posix_machine.h"
#include "temp_folder.h"

namespace pravelo::platform::posix {
namespace {

PosixHost::Clock fixedClock(int hour, int minute, int second) {
    return [=] {
        std::tm time{};
        time.tm_year = 2024 - 1900;
        time.tm_mon = 2;
        time.tm_mday = 5;
        time.tm_wday = 2;
        time.tm_hour = hour;
        time.tm_min = minute;
        time.tm_sec = second;
        return time;
    };
}

bool localeInstalled(const char* name) {
    locale_t locale = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(0));
    if (locale == static_cast<locale_t>(0)) return false;
    freelocale(locale);
    return true;
}

TEST(PosixHost, ExecutableFolderHoldsTheTestProgram) {
    PosixHost host;
    const std::string folder = host.executableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.front(), '/');
    EXPECT_NE(folder.back(), '/');
    struct stat info {};
    EXPECT_EQ(::stat((folder + "/pravelo_posix_tests").c_str(), &info), 0);
    EXPECT_EQ(host.pathSeparator(), '/');
}

TEST(PosixHost, CLocaleTexts) {
    PosixHost host(fixedClock(14, 7, 9), "C");
    EXPECT_EQ(host.shortDate(), "03/05/24");
    EXPECT_EQ(host.longTime(), "14:07:09");
    EXPECT_EQ(host.defaultDateTime(), "03/05/24 14:07:09");
    EXPECT_EQ(PosixHost(fixedClock(14, 7, 9), "xx_NOPE.UTF-8").defaultDateTime(),
              "03/05/24 14:07:09");  // a missing locale falls back to C
}

TEST(PosixHost, TimeIsLeftOutAtExactlyMidnight) {
    EXPECT_EQ(PosixHost(fixedClock(0, 0, 0), "C").defaultDateTime(), "03/05/24");
    EXPECT_EQ(PosixHost(fixedClock(0, 0, 1), "C").defaultDateTime(), "03/05/24 00:00:01");
    EXPECT_EQ(PosixHost(fixedClock(0, 0, 0), "C").longTime(), "00:00:00");
}

TEST(PosixHost, DateAndTimeComeFromOneReadingOfTheClock) {
    int calls = 0;
    // Just before midnight on the first reading, just after on any later one.
    PosixHost host(
        [&] {
            ++calls;
            std::tm time = fixedClock(23, 59, 59)();
            if (calls > 1) time = fixedClock(0, 0, 0)(), time.tm_mday = 6;
            return time;
        },
        "C");
    EXPECT_EQ(host.defaultDateTime(), "03/05/24 23:59:59");
    EXPECT_EQ(calls, 1);
    calls = 0;
    EXPECT_EQ(host.fileDateTime(), "03/05/24, 23:59:59");
    EXPECT_EQ(calls, 1);
}

TEST(PosixHost, DanishLocaleTexts) {
    ASSERT_TRUE(localeInstalled("da_DK.UTF-8"))
        << "da_DK.UTF-8 is not installed; scripts/setup.sh generates it";
    PosixHost host(fixedClock(14, 7, 9), "da_DK.UTF-8");
    EXPECT_EQ(host.shortDate(), "05-03-2024");
    EXPECT_EQ(host.longTime(), "14:07:09");
    EXPECT_EQ(host.defaultDateTime(), "05-03-2024 14:07:09");
    EXPECT_EQ(host.fileDateTime(), "05-03-2024, 14:07:09");
}

}  // namespace
}  // namespace pravelo::platform::posix
