// The pieces behind the user's own settings folder, on the real system.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

#include "platform/error.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_machine.h"
#include "temp_folder.h"

namespace pravelo::platform::posix {
namespace {

using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

// Sets an environment variable for one scope, and puts the old value back.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedVariable() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(UserSettingsFolder, ComesFromXdgConfigHomeThenHome) {
    PosixMachine machine;
    {
        ScopedVariable config("XDG_CONFIG_HOME", "/srv/konfig");
        EXPECT_EQ(machine.userSettingsFolder(), "/srv/konfig");
    }
    ScopedVariable home("HOME", "/home/bruger/");
    {
        // Relative or empty is not a base folder at all.
        ScopedVariable config("XDG_CONFIG_HOME", "konfig");
        EXPECT_EQ(machine.userSettingsFolder(), "/home/bruger/.config");
    }
    ScopedVariable config("XDG_CONFIG_HOME", "");
    EXPECT_EQ(machine.userSettingsFolder(), "/home/bruger/.config");
}

class UserFolderFileSystemTest : public ::testing::Test {
  protected:
    PosixFileSystem files;
    TempFolder folder;
};

TEST_F(UserFolderFileSystemTest, CreateFolderMakesEveryMissingLevelPrivate) {
    const std::string deep = folder / "a/b/Pravelo/";
    files.createFolder(deep);
    files.createFolder(deep);  // already there: no failure
    struct stat info {};
    ASSERT_EQ(::stat(deep.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat((folder / "a").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    writeBytes(folder / "fil", "x");
    EXPECT_THROW(files.createFolder(folder / "fil/Pravelo/"), Error);
    EXPECT_THROW(files.createFolder(""), Error);
}

TEST_F(UserFolderFileSystemTest, CopyFileKeepsEveryByteAndNeverReplacesAFile) {
    constexpr char kBytes[] = "stempel, \r\n[Makro]\r\nM\xE6rke\r\n\0x\r\n";
    const std::string bytes(kBytes, sizeof kBytes - 1);
    writeBytes(folder / "Pravelo.dll", bytes);
    files.copyFile(folder / "Pravelo.dll", folder / "kopi.dll");
    EXPECT_EQ(readBytes(folder / "kopi.dll"), bytes);

    writeBytes(folder / "egen.dll", "egen");
    EXPECT_THROW(files.copyFile(folder / "Pravelo.dll", folder / "egen.dll"), Error);
    EXPECT_EQ(readBytes(folder / "egen.dll"), "egen");
    EXPECT_THROW(files.copyFile(folder / "mangler.dll", folder / "ny.dll"), Error);
    EXPECT_FALSE(files.isOrdinaryFile(folder / "ny.dll"));
    EXPECT_THROW(files.copyFile(folder / "Pravelo.dll", folder / "mangler/ny.dll"), Error);
}

// Answers for an ordinary user: root writes everywhere, so as root the
// question is put by a child that has become nobody.
std::optional<bool> writableForOrdinaryUser(const std::string& path) {
    if (::geteuid() != 0) return PosixFileSystem().folderWritable(path);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
        ::_exit(PosixFileSystem().folderWritable(path) ? 1 : 0);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) > 1) {
        return std::nullopt;
    }
    return WEXITSTATUS(status) == 1;
}

TEST_F(UserFolderFileSystemTest, FolderWritableAnswersForTheRunningUser) {
    ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
    const std::string shared = folder / "delt";
    const std::string closed = folder / "lukket";
    ASSERT_EQ(::mkdir(shared.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 0777), 0);  // whatever the umask
    ASSERT_EQ(::mkdir(closed.c_str(), 0555), 0);
    writeBytes(folder / "fil", "x");

    EXPECT_EQ(writableForOrdinaryUser(shared + "/"), std::optional<bool>(true));
    EXPECT_EQ(writableForOrdinaryUser(closed + "/"), std::optional<bool>(false));
    EXPECT_EQ(writableForOrdinaryUser(folder / "mangler/"), std::optional<bool>(false));
    EXPECT_EQ(writableForOrdinaryUser(folder / "fil"), std::optional<bool>(false));
}

}  // namespace
}  // namespace pravelo::platform::posix
