#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <limits>
#include <vector>

#include "platform/error.h"
#include "platform/posix/posix_file_system.h"
#include "temp_folder.h"

namespace pravelo::platform::posix {
namespace {

using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

constexpr std::size_t kWhole = std::numeric_limits<std::size_t>::max();

std::vector<std::string> readAll(FileSystem& files, const std::string& path) {
    std::vector<std::string> lines;
    auto input = files.openForInput(path);
    while (!input->atEnd()) lines.push_back(input->readLine(kWhole));
    return lines;
}

std::int32_t failureNumber(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& e) {
        EXPECT_FALSE(e.description().empty());
        return e.number();
    }
    ADD_FAILURE() << "no Error thrown";
    return 0;
}

class FileSystemTest : public ::testing::Test {
  protected:
    TempFolder folder;
    PosixFileSystem files;
};

TEST_F(FileSystemTest, AppendLineWritesCodePageBytesAndCrLfOnly) {
    const std::string path = folder / "log.log";
    files.appendLine(path, "æøå €");
    files.appendLine(path, "漢 😀 x\xFFy");
    files.appendLine(path, "");
    files.appendLine(path, "a\nb\r\nc\rd");
    EXPECT_EQ(readBytes(path), "\xE6\xF8\xE5 \x80\r\n? ? x?y\r\n\r\na\r\nb\r\nc\rd\r\n");
}

TEST_F(FileSystemTest, AppendLineCreatesThenAppends) {
    const std::string path = folder / "new.dll";
    ASSERT_FALSE(files.isOrdinaryFile(path));
    files.appendLine(path, "first");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(info.st_mode & 0777, 0644 & ~mask);
    files.appendLine(path, "second");
    EXPECT_EQ(readBytes(path), "first\r\nsecond\r\n");
}

TEST_F(FileSystemTest, AppendLineFailuresAreReported) {
    EXPECT_EQ(failureNumber([&] { files.appendLine(folder / "missing/x.log", "x"); }),
              errnum::PathNotFound);
    EXPECT_NE(failureNumber([&] { files.appendLine(folder.path(), "x"); }), 0);
    EXPECT_NE(failureNumber([&] { files.appendLine("", "x"); }), 0);
}

TEST_F(FileSystemTest, RoundTripOfDanishText) {
    const std::string path = folder / "round.txt";
    files.appendLine(path, "Ødelagte data, bål eller brand: 5 €");
    files.appendLine(path, "MOLVARIKtilret");
    EXPECT_EQ(readAll(files, path),
              (std::vector<std::string>{"Ødelagte data, bål eller brand: 5 €", "MOLVARIKtilret"}));
}

TEST_F(FileSystemTest, ReadsEveryKindOfLineEnd) {
    const std::string path = folder / "ends.txt";
    writeBytes(path, "crlf\r\nlf\ncr\rlast");
    EXPECT_EQ(readAll(files, path), (std::vector<std::string>{"crlf", "lf", "cr", "last"}));
    writeBytes(path, "a\n\nb\r\r\nc\r\n");
    EXPECT_EQ(readAll(files, path), (std::vector<std::string>{"a", "", "b", "", "c"}));
    const std::string filler(64 * 1024 - 1, 'x');  // CR LF split by the read buffer
    writeBytes(path, filler + "\r\nnext");
    EXPECT_EQ(readAll(files, path), (std::vector<std::string>{filler, "next"}));
}

TEST_F(FileSystemTest, AtEndAndReadingPastTheEnd) {
    const std::string path = folder / "empty.txt";
    writeBytes(path, "");
    auto empty = files.openForInput(path);
    EXPECT_TRUE(empty->atEnd());
    EXPECT_EQ(failureNumber([&] { empty->readLine(kWhole); }), errnum::InputPastEnd);

    writeBytes(path, "[Makro]\r\n");
    auto input = files.openForInput(path);
    EXPECT_FALSE(input->atEnd());
    EXPECT_EQ(input->readLine(kWhole), "[Makro]");
    EXPECT_TRUE(input->atEnd());
    try {
        input->readLine(kWhole);
        FAIL() << "no Error thrown";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errnum::InputPastEnd);
        EXPECT_EQ(e.description(), "Læsning forbi slutningen af filen");
    }
}

TEST_F(FileSystemTest, ReadsAVeryLongLine) {
    const std::string path = folder / "long.txt";
    std::string line(5 * 1024 * 1024, 'a');
    line[1234567] = '\xE6';
    writeBytes(path, line + "\r\nend");
    auto input = files.openForInput(path);
    const std::string read = input->readLine(kWhole);
    EXPECT_EQ(read.size(), line.size() + 1);
    EXPECT_EQ(read.substr(1234567, 2), "æ");
    EXPECT_EQ(input->readLine(kWhole), "end");
}

TEST_F(FileSystemTest, LongLinesComeInPiecesOfTheAskedLength) {
    const std::string path = folder / "pieces.txt";
    // The second line is exactly as long as asked: no empty line follows it.
    writeBytes(path, "abcdefghij\r\nabcd\r\n\r\nxy\xE6");
    auto input = files.openForInput(path);
    std::vector<std::string> lines;
    while (!input->atEnd()) lines.push_back(input->readLine(4));
    EXPECT_EQ(lines, (std::vector<std::string>{"abcd", "efgh", "ij", "abcd", "", "xyæ"}));

    // Across the reader's buffer, with the CR and LF of one line end on either side.
    std::string line(64 * 1024 - 1, 'b');
    writeBytes(path, line + "\r\nnext");
    input = files.openForInput(path);
    EXPECT_EQ(input->readLine(64 * 1024 - 1), line);
    EXPECT_EQ(input->readLine(4), "next");
}

TEST_F(FileSystemTest, AGigabyteFileWithoutLineEndsIsReadInBoundedSteps) {
    const std::string path = folder / "huge.dll";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 3LL * 1024 * 1024 * 1024), 0);  // sparse: costs no disk
    ::close(fd);

    // Each call takes no more than asked for: one unbounded read would hold
    // the whole 3 GiB.
    auto input = files.openForInput(path);
    for (int i = 0; i < 4096; ++i) {
        ASSERT_EQ(input->readLine(4096).size(), 4096u);
    }
    EXPECT_FALSE(input->atEnd());
}

TEST_F(FileSystemTest, OpenForInputRefusesWhatIsNoReadableFile) {
    EXPECT_EQ(failureNumber([&] { files.openForInput(folder / "missing.dll"); }),
              errnum::FileNotFound);
    EXPECT_EQ(failureNumber([&] { files.openForInput(folder / "nofolder/x.dll"); }),
              errnum::PathNotFound);
    EXPECT_EQ(failureNumber([&] { files.openForInput(folder.path()); }), errnum::FileAccess);
    EXPECT_NE(failureNumber([&] { files.openForInput(""); }), 0);
    const std::string fifo = folder / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_NE(failureNumber([&] { files.openForInput(fifo); }), 0);  // must not block
}

TEST_F(FileSystemTest, OpenForInputRefusesAnUnreadableFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    const std::string path = folder / "locked.dll";
    writeBytes(path, "x");
    ::chmod(path.c_str(), 0200);
    EXPECT_EQ(failureNumber([&] { files.openForInput(path); }), errnum::PermissionDenied);
    const std::string readOnly = folder / "readonly";
    ASSERT_EQ(::mkdir(readOnly.c_str(), 0500), 0);
    EXPECT_EQ(failureNumber([&] { files.appendLine(readOnly + "/x.log", "y"); }),
              errnum::PermissionDenied);
}

TEST_F(FileSystemTest, OrdinaryFileTest) {
    writeBytes(folder / "MSINFO32.EXE", "");
    writeBytes(folder / ".hidden", "x");
    EXPECT_TRUE(files.isOrdinaryFile(folder / "MSINFO32.EXE"));
    EXPECT_FALSE(files.isOrdinaryFile(folder / ".hidden"));
    EXPECT_FALSE(files.isOrdinaryFile(folder / "missing"));
    EXPECT_FALSE(files.isOrdinaryFile(folder.path()));
    EXPECT_FALSE(files.isOrdinaryFile(folder.path() + "/"));
    EXPECT_FALSE(files.isOrdinaryFile(""));
}

}  // namespace
}  // namespace pravelo::platform::posix
