// The rewrite of a document and the start-up sweep, on a real file system, in
// the moments a desk brings: a file swapped in by a sync tool, a write cut off
// by a full disk, a second program started beside a busy first one.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "office_fixture.h"
#include "platform/error.h"
#include "platform/libreoffice/files/document_file.h"
#include "platform/libreoffice/leftovers.h"

namespace pravelo::testing {
namespace {

namespace fs = std::filesystem;
using namespace platform::libreoffice;

void write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Safety copies left anywhere below the folders.
std::string safetyCopies(std::initializer_list<fs::path> folders) {
    std::string found;
    for (const auto& folder : folders)
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.path().filename().string().starts_with(".~pravelo-"))
                found += entry.path().string() + " ";
    return found;
}

// The description rewriteInPlace failed with, or "" when it did not fail.
std::string rewriteFailure(const DocumentFile& file, const fs::path& newContent,
                           const fs::path& fallback) {
    try {
        rewriteInPlace(file, newContent, fallback, {});
    } catch (const platform::Error& e) {
        return e.description();
    }
    return "";
}

class RewriteInPlace : public ::testing::Test {
  protected:
    TempFolder folder;
    TempFolder fallback;
    const fs::path document = folder.path() / "brev.doc";
    const fs::path newContent = fallback.path() / "nyt indhold";
};

// A sync client puts another file under the name after the save's last look.
TEST_F(RewriteInPlace, AFileSwappedInUnderTheNameIsNotWritten) {
    write(document, "DET ÅBNEDE DOKUMENT");
    write(newContent, "MAKROENS RESULTAT");
    const DocumentFile opened = identifyDocument(document.string());
    // Kept under a second name, so that the opened file can be looked at after the swap.
    fs::create_hard_link(document, folder.path() / "gemt.doc");
    write(folder.path() / "synkroniseret.doc", "EN ANDEN FIL");
    fs::rename(folder.path() / "synkroniseret.doc", document);

    const std::string reason = rewriteFailure(opened, newContent, fallback.path());
    EXPECT_NE(reason.find("intet er gemt"), std::string::npos) << reason;
    EXPECT_EQ(readBytes(document), "EN ANDEN FIL");
    EXPECT_EQ(readBytes(folder.path() / "gemt.doc"), "DET ÅBNEDE DOKUMENT");
    EXPECT_EQ(safetyCopies({folder.path(), fallback.path()}), "");
}

// The rewrite's own check, apart from the name: a FIFO is never read or written
// as a document, even when it is the very inode the caller names.
TEST_F(RewriteInPlace, SomethingOtherThanARegularFileIsNeverWritten) {
    const fs::path fifo = folder.path() / "rør.doc";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    write(newContent, "MAKROENS RESULTAT");
    struct stat st {};
    ASSERT_EQ(::stat(fifo.c_str(), &st), 0);
    const DocumentFile named{fifo.string(), fifo, st.st_dev, st.st_ino};

    const std::string reason = rewriteFailure(named, newContent, fallback.path());
    EXPECT_NE(reason.find("intet er gemt"), std::string::npos) << reason;
    EXPECT_EQ(safetyCopies({folder.path(), fallback.path()}), "");
}

// A disk that fills up while the new content goes in: the file size limit cuts
// the write off partway, in a child so that the limit stays there.
TEST_F(RewriteInPlace, AWriteCutOffMidwayLeavesTheDocumentAsItWas) {
    const std::string original(20'000, 'g');
    write(document, original);
    write(newContent, std::string(300'000, 'n'));
    const DocumentFile opened = identifyDocument(document.string());

    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipe[0]);
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100'000, 100'000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const std::string reason = rewriteFailure(opened, newContent, fallback.path());
        const auto written = ::write(pipe[1], reason.data(), reason.size());
        ::_exit(written == static_cast<ssize_t>(reason.size()) ? 0 : 1);
    }
    ::close(pipe[1]);
    std::string reason;
    char buffer[512];
    for (ssize_t got; (got = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
        reason.append(buffer, got);
    ::close(pipe[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    EXPECT_NE(reason.find("dokumentet er uændret"), std::string::npos) << reason;
    EXPECT_TRUE(readBytes(document) == original) << "the document is not as it was";
    EXPECT_EQ(safetyCopies({folder.path(), fallback.path()}), "");
}

// A second program's start-up sweep beside a first one still at work: only
// what a program that is gone left is touched.
TEST(Sweep, LeavesTheProfileOfAProgramThatStillRunsAlone) {
    TempFolder temp;
    TempFolder documents;
    const fs::path target = documents.path() / "dokument.doc";
    const fs::path copy = documents.path() / ".~pravelo-abc.bak";
    const fs::path lock = documents.path() / ".~lock.dokument.doc#";
    const fs::path socket = temp.path() / "OSL_PIPE_pravelo_levende";
    write(target, "HALVT SKREVET");
    write(copy, "GAMMELT INDHOLD");
    write(lock, "en lås");
    write(socket, "");

    const auto makeProfile = [&](const std::string& name) {
        const fs::path profile = temp.path() / name;
        fs::create_directories(profile / "forks" / "1");
        write(profile / "rewrite", copy.string() + '\t' + target.string() + '\n');
        write(profile / "forks" / "1" / "rewrite", copy.string() + '\t' + target.string() + '\n');
        write(profile / "forks" / "1" / "locks", lock.string() + '\n');
        write(profile / "sockets", socket.string() + '\n');
        return profile;
    };
    // At work in this very process: its pid and start time mark the profile.
    const fs::path live = makeProfile("pravelo-office-levende");
    markOwner(live);
    const std::string liveBefore = folderDigest(live);
    // One whose owner is gone, empty of journals, so that the sweep is seen to run.
    const fs::path gone = temp.path() / "pravelo-office-forladt";
    fs::create_directories(gone);
    write(gone / "owner", "2147483647 1\n");

    sweepLeftovers(temp.path());
    EXPECT_FALSE(fs::exists(gone));
    ASSERT_TRUE(fs::exists(live));
    EXPECT_EQ(folderDigest(live), liveBefore);
    EXPECT_EQ(readBytes(target), "HALVT SKREVET");
    EXPECT_EQ(readBytes(copy), "GAMMELT INDHOLD");
    EXPECT_TRUE(fs::exists(lock));
    EXPECT_TRUE(fs::exists(socket));
}

}  // namespace
}  // namespace pravelo::testing
