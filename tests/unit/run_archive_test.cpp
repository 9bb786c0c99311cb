#include <gtest/gtest.h>

#include "common/commen_functions.h"
#include "fake_archive_store.h"
#include "fake_platform.h"
#include "run_archive/manifest.h"
#include "run_archive/retention.h"
#include "settings/settings.h"
#include "word_engine/doo_with_file.h"

namespace pravelo {
namespace {

using run_archive::RunManifest;

TEST(RunManifestTest, KeepsEveryFieldOfAnyPathAndRefusesWhatIsNotOurs) {
    RunManifest run{"14-03-2025 09:41:27", "Ret\tDok", false, {}};
    for (const std::string path : {"/a/æøå.doc", "/a/tab\there.doc", "/a/line\nbreak\r.doc",
                                   "C:\\Dok\\back\\\\slash.doc", "/a/\\t literal.doc"}) {
        run_archive::ArchivedDocument d{path, "0001 x.doc", {}, "written"};
        d.original = {12345678901ULL, "abc", "2049:77", "1000:1000", "0640", "1710405687.5", "2"};
        run.documents.push_back(d);
    }
    const auto back = run_archive::parseManifest(run_archive::formatManifest(run));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->started, run.started);
    EXPECT_EQ(back->macro, run.macro);
    ASSERT_EQ(back->documents.size(), run.documents.size());
    for (std::size_t i = 0; i < run.documents.size(); ++i) {
        const auto &a = run.documents[i], &b = back->documents[i];
        EXPECT_EQ(a.path, b.path);
        EXPECT_EQ(a.writtenDigest, b.writtenDigest);
        EXPECT_EQ(a.original.size, b.original.size);
        EXPECT_EQ(a.original.modified, b.original.modified);
        EXPECT_EQ(a.original.links, b.original.links);
    }
    run.undone = true;
    EXPECT_TRUE(run_archive::parseManifest(run_archive::formatManifest(run))->undone);

    const std::string good = run_archive::formatManifest(run);
    for (const std::string& bad :
         {std::string(), std::string("noget andet\n"), good + "ukendt\tfelt\n",
          good + "dokument\t/a\tb\n", good.substr(0, good.size() - 3) + "x\\q\n"}) {
        EXPECT_FALSE(run_archive::parseManifest(bad)) << bad;
    }
}

TEST(RetentionTest, RemovesTheOldestRunsBeyondTenOrOneGibibyte) {
    constexpr std::uint64_t GiB = std::uint64_t(1) << 30;
    struct Case {
        std::vector<run_archive::StoredRun> runs;
        std::vector<std::string> removed;
    };
    std::vector<run_archive::StoredRun> eleven;
    for (int i = 10; i >= 0; --i) eleven.push_back({"2025-01-" + std::to_string(10 + i), 1});
    const std::vector<Case> cases{
        {{{"2025-01-02", 5}, {"2025-01-01", 5}}, {}},
        {eleven, {"2025-01-10"}},
        {{{"2025-01-03", GiB / 2}, {"2025-01-01", GiB / 2}, {"2025-01-02", GiB / 2}},
         {"2025-01-01"}},
        {{{"2025-01-01", 1}, {"2025-01-02", 2 * GiB}}, {"2025-01-01"}},  // the newest stays
    };
    for (const auto& c : cases) EXPECT_EQ(run_archive::runsToRemove(c.runs), c.removed);
}

class UndoTest : public ::testing::Test {
  protected:
    UndoTest() {
        fake.platform.archive = &store;
        fake.form.dir1.value = "/data";
        fake.form.file1.folder = "/data";
        fake.form.file1.show(names);
        fake.form.text1.value = "RetDok";
        fake.files.files[fake.settingsPath()] = "[Makro]\r\nRetDok\r\n";
        settings.LoadSettings();
        for (const auto& name : names) store.files[path(name)] = "original " + name;
        fake.office.onSave = [this](const std::string& p) { store.files[p] += " + makro"; };
        worker = std::make_unique<word_engine::DooWithFile>(fake.platform, settings);
    }
    static std::string path(const std::string& name) { return "/data/" + name; }
    void selectAll() {
        for (std::size_t i = 0; i < names.size(); ++i)
            fake.form.file1.select({static_cast<int>(i)});
    }
    std::size_t runFolders() { return store.subfolders(store.root).size(); }
    std::vector<std::string> logLines() {
        std::vector<std::string> lines;
        const std::string& log = fake.files.files[fake.logPath()];
        for (std::size_t from = 0, at; (at = log.find("\r\n", from)) != std::string::npos;
             from = at + 2)
            lines.push_back(log.substr(from, at - from));
        return lines;
    }

    std::vector<std::string> names{"a.doc", "b.doc", "c.doc", "d.doc", "e.doc"};
    fakes::FakeArchiveStore store;
    fakes::FakePlatform fake;
    common::CommenFunctions common{fake.platform};
    settings::Settings settings{fake.platform, common};
    std::unique_ptr<word_engine::DooWithFile> worker;
};

TEST_F(UndoTest, PutsBackWhatTheRunWroteAndLeavesALaterChangeAlone) {
    selectAll();
    worker->EditSelectedFiles();
    EXPECT_EQ(runFolders(), 1u);
    store.files[path("c.doc")] = "brugerens egen ændring";
    store.files.erase(path("e.doc"));

    worker->UndoLastRun();
    ASSERT_EQ(fake.messages.asked.size(), 1u);
    EXPECT_NE(fake.messages.asked[0].find("med makroen RetDok"), std::string::npos);
    EXPECT_NE(fake.messages.asked[0].find("5 dokumenter"), std::string::npos);
    for (const std::string name : {"a.doc", "b.doc", "d.doc"})
        EXPECT_EQ(store.files[path(name)], "original " + name);
    EXPECT_EQ(store.files[path("c.doc")], "brugerens egen ændring");
    EXPECT_FALSE(store.files.count(path("e.doc")));
    EXPECT_EQ(fake.form.status.value, "3 dokumenter sat tilbage!");
    EXPECT_TRUE(fake.form.text2.shown);
    EXPECT_NE(fake.form.text2.value.find("c.doc: dokumentet er ændret efter kørslen"),
              std::string::npos);
    EXPECT_NE(fake.form.text2.value.find("e.doc: dokumentet er flyttet eller slettet"),
              std::string::npos);
    const auto lines = logLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("1102, /data/c.doc, Ikke sat tilbage"), std::string::npos);

    // Undone: the next Fortryd finds nothing more.
    worker->UndoLastRun();
    EXPECT_EQ(fake.messages.asked.size(), 1u);
    EXPECT_EQ(fake.messages.shown.back().text, "Der er ingen kørsel at fortryde.");
}

TEST_F(UndoTest, EachFortrydTakesTheRunBeforeTheLastOneUndone) {
    fake.form.file1.select({0});
    worker->EditSelectedFiles();
    fake.form.file1.selection.assign(names.size(), false);
    fake.form.file1.select({1});
    worker->EditSelectedFiles();

    fake.messages.answer = false;  // Nej changes nothing
    worker->UndoLastRun();
    EXPECT_EQ(store.files[path("b.doc")], "original b.doc + makro");

    fake.messages.answer = true;
    worker->UndoLastRun();
    EXPECT_EQ(store.files[path("b.doc")], "original b.doc");
    EXPECT_EQ(store.files[path("a.doc")], "original a.doc + makro");
    EXPECT_EQ(fake.form.status.value, "1 dokument sat tilbage!");
    worker->UndoLastRun();
    EXPECT_EQ(store.files[path("a.doc")], "original a.doc");
    EXPECT_EQ(fake.messages.asked.size(), 3u);
}

TEST_F(UndoTest, NoWayBackNoEditOneLogLinePerDocument) {
    store.full = true;
    selectAll();
    worker->EditSelectedFiles();
    for (const auto& name : names) {
        EXPECT_EQ(store.files[path(name)], "original " + name);
        for (const auto& call : fake.office.calls) EXPECT_NE(call, "open:" + path(name));
    }
    const auto lines = logLines();
    ASSERT_EQ(lines.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_NE(lines[i].find("1101, " + path(names[i]) + ", Ingen vej tilbage"),
                  std::string::npos);
        EXPECT_NE(lines[i].find("ikke mere plads"), std::string::npos);
    }
    EXPECT_EQ(fake.form.status.value, "Fejl ved editering!");
}

TEST_F(UndoTest, OpenRunsAndRunsThatChangedNothingLeaveNoArchive) {
    selectAll();
    worker->OpenSelectedFiles();
    EXPECT_EQ(runFolders(), 0u);
    fake.office.onSave = nullptr;  // the macro changed nothing
    worker->EditSelectedFiles();
    EXPECT_EQ(runFolders(), 0u);
    fake.office.failOn("run", 424, "Makroen stoppede");
    worker->EditSelectedFiles();
    EXPECT_EQ(runFolders(), 0u);
    EXPECT_TRUE(store.files.size() == names.size());
}

TEST_F(UndoTest, TheEleventhRunRemovesTheOldest) {
    fake.form.file1.select({0});
    for (int run = 0; run < 11; ++run) worker->EditSelectedFiles();
    auto folders = store.subfolders(store.root);
    EXPECT_EQ(folders.size(), 10u);
    // Ten undos go back through the ten kept runs, not to the very first original.
    for (int run = 0; run < 10; ++run) worker->UndoLastRun();
    EXPECT_EQ(store.files[path("a.doc")], "original a.doc + makro");
}

}  // namespace
}  // namespace pravelo
