#include "command_line/document_finder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "posix/temp_folder.h"

namespace pravelo::command_line {
namespace {

namespace fs = std::filesystem;
using platform::posix::testing::TempFolder;
using Names = std::vector<std::string>;

class DocumentFinderTest : public ::testing::Test {
  protected:
    void SetUp() override { root_ = fs::path(folder_.path()) / "rod"; }

    fs::path file(const std::string& relative) {
        const fs::path path = root_ / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path) << "x";
        return path;
    }
    // The documents found, relative to the root.
    Names relative(const FoundDocuments& found) {
        Names names;
        for (const auto& document : found.documents)
            names.push_back(fs::path(document).lexically_relative(root_).string());
        return names;
    }

    TempFolder folder_;
    fs::path root_;
};

TEST_F(DocumentFinderTest, TakesMatchingDocumentsSortedAndSubfoldersOnlyWhenAsked) {
    for (const char* name : {"b.doc", "Æble.DOC", "a;b.doc", "A.doc", "noter.txt", ".skjult.doc",
                             ".~pravelo-a.doc.bak", ".~lock.A.doc#", "under/c.doc",
                             "under/dybere/d.dot", "Å/e.doc", ".git/f.doc"})
        file(name);

    const auto flat = FindDocuments({root_.string()}, {"*.doc", "*.dot"}, false);
    EXPECT_EQ(flat.error, "");
    EXPECT_EQ(relative(flat), (Names{"A.doc", "a;b.doc", "b.doc", "Æble.DOC"}));

    const auto deep = FindDocuments({root_.string()}, {"*.doc", "*.dot"}, true);
    EXPECT_EQ(deep.error, "");
    EXPECT_EQ(relative(deep), (Names{"A.doc", "a;b.doc", "b.doc", "Æble.DOC", "under/c.doc",
                                     "under/dybere/d.dot", "Å/e.doc"}));
    for (const auto& document : deep.documents) EXPECT_TRUE(fs::path(document).is_absolute());
}

TEST_F(DocumentFinderTest, KeepsTheOrderGivenAndTakesEachDocumentOnce) {
    const fs::path b = file("b.doc");
    const fs::path a = file("a.doc");
    file("notat.txt");
    fs::create_symlink(b, root_ / "link-til-b.doc");
    const auto found = FindDocuments(
        {b.string(), (root_ / "notat.txt").string(), root_.string(), (root_ / "./a.doc").string()},
        {"*.doc"}, false);
    EXPECT_EQ(found.error, "");
    // A document named directly is taken whatever its name.
    EXPECT_EQ(relative(found), (Names{"b.doc", "notat.txt", "a.doc"}));
}

TEST_F(DocumentFinderTest, NeverFollowsAFolderLinkSoALoopOrATreeOutsideIsNotSearched) {
    file("a.doc");
    file("under/b.doc");
    const fs::path outside = fs::path(folder_.path()) / "udenfor";
    fs::create_directories(outside);
    std::ofstream(outside / "fremmed.doc") << "x";
    fs::create_directory_symlink(root_, root_ / "under" / "løkke");
    fs::create_directory_symlink("..", root_ / "under" / "op");
    fs::create_directory_symlink(outside, root_ / "ud");

    const auto found = FindDocuments({root_.string()}, {"*.doc"}, true);
    EXPECT_EQ(found.error, "");
    EXPECT_EQ(relative(found), (Names{"a.doc", "under/b.doc"}));
}

TEST_F(DocumentFinderTest, AFolderWithoutMatchesGivesNoDocumentsAndNoError) {
    file("brev.txt");
    fs::create_directories(root_ / "tom");
    const auto found = FindDocuments({root_.string()}, {"*.doc"}, true);
    EXPECT_EQ(found.error, "");
    EXPECT_TRUE(found.documents.empty());
}

TEST_F(DocumentFinderTest, APathThatIsNotThereOrNotADocumentIsAnError) {
    file("a.doc");
    EXPECT_EQ(FindDocuments({(root_ / "mangler").string()}, {"*.doc"}, false).error,
              "Stien findes ikke: " + (root_ / "mangler").string());
    EXPECT_EQ(FindDocuments({"/dev/null"}, {"*.doc"}, false).error,
              "Hverken et dokument eller en mappe: /dev/null");
}

TEST(PatternTest, MatchesLikeTheWindowsFileList) {
    const struct {
        std::string name, pattern;
        bool matches;
    } cases[] = {
        {"brev.doc", "*.doc", true},   {"BREV.DOC", "*.doc", true},
        {"brev.docx", "*.doc", false}, {"brev.doc", "*.*", true},
        {"brev", "*.*", true},         {"ærø.doc", "ÆRØ.*", true},
        {"Åbent.doc", "å*", true},     {"b1.doc", "b?.doc", true},
        {"bø.doc", "b?.doc", true},    {"b12.doc", "b?.doc", false},
        {"a;b.doc", "a;b.doc", true},  {"rapport 2024.dot", "*20*.do?", true},
        {"×.doc", "÷.doc", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
}

}  // namespace
}  // namespace pravelo::command_line
