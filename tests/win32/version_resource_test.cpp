#include "platform/win32/version_resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "platform/version_record.h"

namespace pravelo::platform::win32 {
namespace {

// Every program of the build carries the resource, this one too.
TEST(VersionResource, ReadFromTheRunningProgram) {
    const auto record = readVersionResource(nullptr);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->productName, "Pravelo");
    EXPECT_EQ(record->major, 1);
    EXPECT_EQ(record->minor, 3);
    EXPECT_EQ(record->revision, 7);
    EXPECT_EQ(record->fileVersionText, "1.03.0007");
    EXPECT_EQ(record->comments,
              "Multi Edit Word Files Via Makro's Stored In A Local Your Normal.dot");
    EXPECT_EQ(record->legalCopyright, "kontakt@");
    EXPECT_EQ(record->companyName, "pravelo.example");
    EXPECT_EQ(record->legalCopyright + record->companyName, contactAddress());

    const VersionRecord& program = programVersionRecord();
    EXPECT_EQ(program.productName, record->productName);
    EXPECT_EQ(program.comments, record->comments);
    EXPECT_EQ(program.revision, record->revision);
}

TEST(VersionResource, FileVersionHasItsBuildNumberZero) {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    ASSERT_NE(found, nullptr);
    const auto* block =
        static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, found)));
    std::vector<unsigned char> copy(block, block + SizeofResource(nullptr, found));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(copy.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010003u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000007u);
}

TEST(VersionResource, ProgramIconIsThere) {
    HICON icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, 0));
    ASSERT_NE(icon, nullptr);
    DestroyIcon(icon);
}

}  // namespace
}  // namespace pravelo::platform::win32
