// The run archive on a real file system: what Fortryd puts back, a kill in the
// middle of it, and an archive that cannot be written.
#include "platform/libreoffice/files/archive_store.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/error.h"
#include "run_archive/run_archive.h"
#include "temp_folder.h"

namespace pravelo::platform::posix::testing {
namespace {

namespace fs = std::filesystem;

struct stat statOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

// What a macro's save does: new content into the same file.
void editInPlace(const std::string& path, const std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "r+b");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(::ftruncate(::fileno(file), 0), 0);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

class ArchiveStoreTest : public ::testing::Test {
  protected:
    ArchiveStoreTest() {
        ::setenv("XDG_DATA_HOME", data.path().c_str(), 1);
        for (int i = 0; i < 5; ++i) {
            documents.push_back(folder / ("brev " + std::to_string(i) + " æøå.doc"));
            writeBytes(documents.back(), std::string(1000 + i, static_cast<char>('a' + i)));
        }
        ::chmod(documents[1].c_str(), 0640);
        ::link(documents[2].c_str(), (folder / "hård henvisning.doc").c_str());
        timespec old[2] = {{0, UTIME_OMIT}, {1500000000, 250}};
        ::utimensat(AT_FDCWD, documents[3].c_str(), old, 0);
    }
    ~ArchiveStoreTest() override { ::unsetenv("XDG_DATA_HOME"); }

    // One run over every document, its macro writing bigger in place.
    void runBatch(const std::string& edited) {
        archive.begin("14-03-2025 09:41:27", "RetDok");
        for (const auto& document : documents) {
            archive.keep(document);
            editInPlace(document, edited);
            archive.settle(document);
        }
        archive.finish();
    }

    TempFolder folder, data;
    std::vector<std::string> documents;
    platform::libreoffice::PosixArchiveStore store;
    run_archive::RunArchive archive{store};
};

TEST_F(ArchiveStoreTest, FortrydPutsBackIntoTheSameFilesAndLeavesALaterChangeAlone) {
    std::vector<std::string> before;
    std::vector<struct stat> was;
    for (const auto& d : documents) {
        before.push_back(readBytes(d));
        was.push_back(statOf(d));
    }
    runBatch("MAKROENS RESULTAT");
    EXPECT_EQ(store.archiveFolder(), data.path() + "/Pravelo/Kørsler");
    ASSERT_EQ(store.subfolders(store.archiveFolder()).size(), 1u);
    writeBytes(documents[4], "brugerens ændring");

    const auto run = archive.lastRun();
    ASSERT_TRUE(run);
    EXPECT_EQ(run->manifest.documents.size(), 5u);
    const auto outcome = archive.undo(*run);
    EXPECT_EQ(outcome.putBack, 4);
    ASSERT_EQ(outcome.leftAlone.size(), 1u);
    EXPECT_EQ(outcome.leftAlone[0].path, documents[4]);
    EXPECT_EQ(outcome.leftAlone[0].reason, "dokumentet er ændret efter kørslen");
    for (int i = 0; i < 4; ++i) {
        const struct stat now = statOf(documents[i]);
        EXPECT_EQ(readBytes(documents[i]), before[i]);
        EXPECT_EQ(now.st_ino, was[i].st_ino);
        EXPECT_EQ(now.st_nlink, was[i].st_nlink);
        EXPECT_EQ(now.st_mode, was[i].st_mode);
        EXPECT_EQ(now.st_uid, was[i].st_uid);
    }
    EXPECT_EQ(statOf(documents[2]).st_nlink, 2u);
    EXPECT_EQ(readBytes(folder / "hård henvisning.doc"), before[2]);
    EXPECT_EQ(statOf(documents[3]).st_mtim.tv_sec, 1500000000);
    EXPECT_EQ(readBytes(documents[4]), "brugerens ændring");
    EXPECT_FALSE(archive.lastRun());
}

// RLIMIT_FSIZE stops the undo with SIGXFSZ halfway through writing an original
// back: a real kill at the worst moment.
TEST_F(ArchiveStoreTest, AKillInTheMiddleOfAnUndoIsPutRightAtTheNextStart) {
    for (const auto& d : documents) writeBytes(d, std::string(1 << 20, 'O'));
    runBatch(std::string(1000, 'M'));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rlimit limit{256 * 1024, 256 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        run_archive::RunArchive again(store);
        again.undo(*again.lastRun());
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
    EXPECT_EQ(readBytes(documents[0]).size(), 256u * 1024);  // cut off mid-write

    EXPECT_TRUE(archive.recover().empty());
    for (const auto& d : documents) EXPECT_EQ(readBytes(d), std::string(1000, 'M'));
    for (const auto& entry : fs::directory_iterator(folder.path()))
        EXPECT_FALSE(entry.path().filename().string().starts_with(".~pravelo-"));
    const auto outcome = archive.undo(*archive.lastRun());
    EXPECT_EQ(outcome.putBack, 5);
    for (const auto& d : documents) EXPECT_EQ(readBytes(d), std::string(1 << 20, 'O'));
}

// A user who may not write the archive's folder keeps no way back, so edits nothing.
TEST_F(ArchiveStoreTest, AnArchiveThatCannotBeWrittenRefusesEveryDocument) {
    ::chmod(folder.path().c_str(), 0755);
    for (const auto& d : documents) ::chmod(d.c_str(), 0644);
    ::chmod(data.path().c_str(), 0755);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
        run_archive::RunArchive refused(store);
        refused.begin("nu", "RetDok");
        int refusals = 0;
        for (const auto& d : documents) {
            try {
                refused.keep(d);
            } catch (const platform::Error& e) {
                if (e.number() == run_archive::NoWayBack &&
                    e.description().find("Adgang nægtet") != std::string::npos)
                    ++refusals;
            }
        }
        refused.finish();
        ::_exit(refusals == 5 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(fs::exists(data.path() + "/Pravelo"));
}

}  // namespace
}  // namespace pravelo::platform::posix::testing
