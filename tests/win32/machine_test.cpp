#include <gtest/gtest.h>
#include <windows.h>

#include <regex>

#include "platform/win32/text_convert.h"
#include "platform/win32/win32_machine.h"
#include "win32_test_support.h"

namespace pravelo::platform::win32 {
namespace {

std::tm at(int hour, int minute, int second) {
    std::tm time{};
    time.tm_year = 2026 - 1900;
    time.tm_mon = 11;
    time.tm_mday = 8;
    time.tm_wday = 2;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    return time;
}

TEST(Win32Machine, FoldersOfTheProgramAndOfTheProcess) {
    Win32Machine machine;
    EXPECT_EQ(machine.executableFolder(), testing::programFolder());
    EXPECT_EQ(machine.pathSeparator(), '\\');

    testing::TempFolder folder;
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    ASSERT_TRUE(SetCurrentDirectoryW(toWide(folder.path()).c_str()));
    EXPECT_EQ(machine.workingFolder(), folder.path());  // æøå survive
    SetCurrentDirectoryW(before);
}

TEST(Win32Machine, UserSettingsFolderIsTheRoamingApplicationData) {
    Win32Machine machine;
    const std::string folder = machine.userSettingsFolder();
    wchar_t expected[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", expected, MAX_PATH);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(folder, fromWide(std::wstring(expected, length)));
    const DWORD attributes = GetFileAttributesW(toWide(folder).c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(Win32Machine, DateAndTimeInTheUsersFormats) {
    Win32Machine machine([] { return at(14, 7, 9); });
    const std::string date = machine.shortDate();
    const std::string time = machine.longTime();
    EXPECT_NE(date.find("2026"), std::string::npos) << date;  // short dates may carry 26 alone
    EXPECT_TRUE(std::regex_search(time, std::regex("0?2:07:09|14:07:09"))) << time;
    EXPECT_EQ(machine.defaultDateTime(), date + " " + time);
    EXPECT_EQ(machine.fileDateTime(), date + ", " + time);
}

TEST(Win32Machine, DefaultDateTimeLeavesOutExactMidnight) {
    Win32Machine midnight([] { return at(0, 0, 0); });
    EXPECT_EQ(midnight.defaultDateTime(), midnight.shortDate());
    EXPECT_EQ(midnight.fileDateTime(), midnight.shortDate() + ", " + midnight.longTime());
    Win32Machine second([] { return at(0, 0, 1); });
    EXPECT_EQ(second.defaultDateTime(), second.shortDate() + " " + second.longTime());
}

}  // namespace
}  // namespace pravelo::platform::win32
