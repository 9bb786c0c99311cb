#include <gtest/gtest.h>
#include <locale.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/posix/posix_machine.h"
#include "temp_folder.h"

namespace pravelo::platform::posix {
namespace {

PosixMachine::Clock fixedClock(int hour, int minute, int second) {
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

TEST(PosixMachine, ExecutableFolderHoldsTheTestProgram) {
    PosixMachine machine;
    const std::string folder = machine.executableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.front(), '/');
    EXPECT_NE(folder.back(), '/');
    struct stat info {};
    EXPECT_EQ(::stat((folder + "/pravelo_posix_tests").c_str(), &info), 0);
    EXPECT_EQ(machine.pathSeparator(), '/');
}

TEST(PosixMachine, CLocaleTexts) {
    PosixMachine machine(fixedClock(14, 7, 9), "C");
    EXPECT_EQ(machine.shortDate(), "03/05/24");
    EXPECT_EQ(machine.longTime(), "14:07:09");
    EXPECT_EQ(machine.defaultDateTime(), "03/05/24 14:07:09");
    EXPECT_EQ(PosixMachine(fixedClock(14, 7, 9), "xx_NOPE.UTF-8").defaultDateTime(),
              "03/05/24 14:07:09");  // a missing locale falls back to C
}

TEST(PosixMachine, TimeIsLeftOutAtExactlyMidnight) {
    EXPECT_EQ(PosixMachine(fixedClock(0, 0, 0), "C").defaultDateTime(), "03/05/24");
    EXPECT_EQ(PosixMachine(fixedClock(0, 0, 1), "C").defaultDateTime(), "03/05/24 00:00:01");
    EXPECT_EQ(PosixMachine(fixedClock(0, 0, 0), "C").longTime(), "00:00:00");
}

TEST(PosixMachine, DateAndTimeComeFromOneReadingOfTheClock) {
    int calls = 0;
    // Just before midnight on the first reading, just after on any later one.
    PosixMachine machine(
        [&] {
            ++calls;
            std::tm time = fixedClock(23, 59, 59)();
            if (calls > 1) time = fixedClock(0, 0, 0)(), time.tm_mday = 6;
            return time;
        },
        "C");
    EXPECT_EQ(machine.defaultDateTime(), "03/05/24 23:59:59");
    EXPECT_EQ(calls, 1);
    calls = 0;
    EXPECT_EQ(machine.fileDateTime(), "03/05/24, 23:59:59");
    EXPECT_EQ(calls, 1);
}

TEST(PosixMachine, DanishLocaleTexts) {
    ASSERT_TRUE(localeInstalled("da_DK.UTF-8"))
        << "da_DK.UTF-8 is not installed; scripts/setup.sh generates it";
    PosixMachine machine(fixedClock(14, 7, 9), "da_DK.UTF-8");
    EXPECT_EQ(machine.shortDate(), "05-03-2024");
    EXPECT_EQ(machine.longTime(), "14:07:09");
    EXPECT_EQ(machine.defaultDateTime(), "05-03-2024 14:07:09");
    EXPECT_EQ(machine.fileDateTime(), "05-03-2024, 14:07:09");
}

}  // namespace
}  // namespace pravelo::platform::posix
