#include "platform/win32/folder_listing.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "platform/error.h"
#include "platform/win32/text_convert.h"
#include "platform/win32/wildcard.h"
#include "win32_test_support.h"

namespace pravelo::platform::win32 {
namespace {

TEST(Wildcard, StarQuestionMarkCaseAndSeveralPatterns) {
    EXPECT_TRUE(matchesPattern(L"Brev.DOC", L"*.doc"));
    EXPECT_FALSE(matchesPattern(L"brev.docx", L"*.doc"));  // no short-name surprise
    EXPECT_FALSE(matchesPattern(L"brev.doc.bak", L"*.doc"));
    EXPECT_TRUE(matchesPattern(L"Æble.doc", L"æ*.DOC"));
    EXPECT_TRUE(matchesPattern(L"a1.dot", L"a?.dot"));
    EXPECT_FALSE(matchesPattern(L"a12.dot", L"a?.dot"));
    EXPECT_TRUE(matchesPattern(L"skabelon.dot", L"*.doc; *.dot"));
    EXPECT_TRUE(matchesPattern(L"README", L"*.*"));
    EXPECT_TRUE(matchesPattern(L"x.rtf", L"*"));
    EXPECT_FALSE(matchesPattern(L"x.rtf", L""));
    EXPECT_FALSE(matchesPattern(L"x.rtf", L";;"));
}

TEST(FolderListing, OrdinaryMatchingFilesInNameOrder) {
    testing::TempFolder folder;
    for (const char* name : {"c.doc", "b.doc", "A.doc", "æble.doc", "ny.docx", "skjult.doc"}) {
        testing::writeBytes(folder / name, "x");
    }
    CreateDirectoryW(toWide(folder / "mappe.doc").c_str(), nullptr);
    SetFileAttributesW(toWide(folder / "skjult.doc").c_str(), FILE_ATTRIBUTE_HIDDEN);
    auto names = listFiles(toWide(folder.path()), L"*.doc");
    // Where "æ" goes is the user's locale's affair; the rest is name order, any case.
    const auto ae = std::find(names.begin(), names.end(), L"æble.doc");
    ASSERT_NE(ae, names.end());
    names.erase(ae);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"A.doc", L"b.doc", L"c.doc"}));
    EXPECT_EQ(listSubfolders(toWide(folder.path())), std::vector<std::wstring>{L"mappe.doc"});
}

TEST(FolderListing, CheckedFolderIsFullAndRefusesWhatCannotBeListed) {
    testing::TempFolder folder;
    EXPECT_EQ(fromWide(checkedFolder(toWide(folder.path() + "\\"))), folder.path());
    EXPECT_EQ(fromWide(checkedFolder(L"C:\\")), "C:\\");
    testing::writeBytes(folder / "fil.doc", "x");
    for (const std::string& bad : {folder / "mangler", folder / "fil.doc", std::string()}) {
        try {
            checkedFolder(toWide(bad));
            ADD_FAILURE() << bad;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), errnum::PathNotFound) << bad;
        }
    }
}

}  // namespace
}  // namespace pravelo::platform::win32
