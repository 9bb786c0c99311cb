#include "platform/libreoffice/files/document_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "platform/libreoffice/office_errors.h"
#include "platform/posix/system_error.h"
#include "platform/posix/unique_fd.h"

namespace fs = std::filesystem;

namespace pravelo::platform::libreoffice {
namespace {

using posix::Fd;
using posix::systemError;

// Copies all of from (from its start) over to (from its start) and cuts to
// what was copied; errno on failure, 0 on success.
int copyContent(int from, int to) {
    if (::lseek(from, 0, SEEK_SET) < 0 || ::lseek(to, 0, SEEK_SET) < 0) return errno;
    std::array<char, 65536> buffer;
    off_t total = 0;
    while (true) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return errno;
        if (got == 0) break;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(to, buffer.data() + done, static_cast<size_t>(got - done));
            if (put < 0 && errno == EINTR) continue;
            if (put < 0) return errno;
            done += put;
        }
        total += got;
    }
    if (::ftruncate(to, total) != 0) return errno;
    if (::fsync(to) != 0) return errno;
    return 0;
}

void syncFolder(const fs::path& folder) {
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir) ::fsync(dir.get());
}

// A new file of our own in folder, never readable by more than the document is.
int makeSafetyCopy(const fs::path& folder, mode_t documentMode, std::string& path) {
    std::string name = (folder / ".~pravelo-XXXXXX.bak").string();
    const int fd = ::mkostemps(name.data(), 4, O_CLOEXEC);
    if (fd < 0) return -1;
    ::fchmod(fd, documentMode & 0600);
    path = name;
    return fd;
}

}  // namespace

DocumentFile identifyDocument(const std::string& name) {
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0) {
        const int err = errno;
        std::error_code ec;
        const fs::path folder = fs::absolute(name, ec).parent_path();
        if (err == ENOENT && !fs::is_directory(folder, ec))
            throw Error(errors::FolderNotFound, "Mappen findes ikke: " + name);
        if (err == ENOENT) throw Error(errors::DocumentNotFound, "Filen findes ikke: " + name);
        throw systemError(err, "Dokumentet " + name + " kan ikke læses");
    }
    if (S_ISDIR(st.st_mode))
        throw Error(errors::CannotOpen, "Dokumentet " + name + " er en mappe, ikke en fil");
    if (!S_ISREG(st.st_mode))
        throw Error(errors::CannotOpen, "Dokumentet " + name +
                                            " er ikke en almindelig fil (men en FIFO, en enhed "
                                            "eller en sokkel)");
    // Said plainly here: the office would only report that it found no format.
    const int readable = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (readable < 0) throw systemError(errno, "Dokumentet " + name + " kan ikke læses");
    ::close(readable);
    char* resolved = ::realpath(name.c_str(), nullptr);
    if (resolved == nullptr) throw systemError(errno, "Dokumentet " + name + " kan ikke læses");
    DocumentFile file{name, resolved, st.st_dev, st.st_ino};
    ::free(resolved);
    return file;
}

void checkStillSame(const DocumentFile& opened) {
    struct stat st {};
    const bool same = ::stat(opened.name.c_str(), &st) == 0 && st.st_dev == opened.device &&
                      st.st_ino == opened.inode;
    if (!same) {
        throw Error(errors::CannotSave, "Dokumentet " + opened.name +
                                            " er blevet flyttet eller erstattet, mens makroen "
                                            "kørte; intet er gemt");
    }
}

bool faithfulFormat(const std::string& filterName) {
    static const std::array<const char*, 10> faithful{"MS Word 97",
                                                      "MS Word 97 Vorlage",
                                                      "MS Word 2007 XML",
                                                      "MS Word 2007 XML Template",
                                                      "MS Word 2007 XML VBA",
                                                      "Office Open XML Text",
                                                      "Office Open XML Text Template",
                                                      "Rich Text Format",
                                                      "writer8",
                                                      "writer8_template"};
    for (const char* name : faithful)
        if (filterName == name) return true;
    return false;
}

void rewriteInPlace(const DocumentFile& file, const fs::path& newContent,
                    const fs::path& fallbackFolder, const RewriteJournal& journal) {
    const std::string what = "Dokumentet " + file.name + " kan ikke gemmes";
    // The file itself, never what its name may lead to by now.
    Fd target(::open(file.target.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!target) throw systemError(errno, what);
    struct stat st {};
    if (::fstat(target.get(), &st) != 0) throw systemError(errno, what);
    if (!S_ISREG(st.st_mode) || st.st_dev != file.device || st.st_ino != file.inode) {
        throw Error(errors::CannotSave, "Dokumentet " + file.name +
                                            " er blevet erstattet, mens makroen kørte; intet er "
                                            "gemt");
    }
    Fd source(::open(newContent.c_str(), O_RDONLY | O_CLOEXEC));
    if (!source) throw systemError(errno, what);

    std::string copyPath;
    fs::path copyFolder = file.target.parent_path();
    int copyFd = makeSafetyCopy(copyFolder, st.st_mode, copyPath);
    if (copyFd < 0) {
        // A folder the user may not add files to: the copy waits in our own.
        copyFolder = fallbackFolder;
        copyFd = makeSafetyCopy(copyFolder, st.st_mode, copyPath);
        if (copyFd < 0) throw systemError(errno, what + " (ingen plads til en sikkerhedskopi)");
    }
    Fd copy(copyFd);
    if (const int err = copyContent(target.get(), copy.get()); err != 0) {
        ::unlink(copyPath.c_str());
        throw systemError(err, what + " (sikkerhedskopien kan ikke skrives)");
    }
    syncFolder(copyFolder);
    if (journal.started) journal.started(copyPath, file.target.string());

    if (const int err = copyContent(source.get(), target.get()); err != 0) {
        if (copyContent(copy.get(), target.get()) == 0) {
            ::unlink(copyPath.c_str());
            if (journal.finished) journal.finished();
            throw systemError(err, what + "; dokumentet er uændret");
        }
        throw systemError(err, what + "; det gamle indhold ligger i " + copyPath);
    }
    ::unlink(copyPath.c_str());
    syncFolder(copyFolder);
    if (journal.finished) journal.finished();
}

bool restoreFromSafetyCopy(const std::string& copy, const std::string& target) {
    Fd from(::open(copy.c_str(), O_RDONLY | O_CLOEXEC));
    if (!from) return errno == ENOENT;
    Fd to(::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!to || copyContent(from.get(), to.get()) != 0) return false;
    ::unlink(copy.c_str());
    syncFolder(fs::path(copy).parent_path());
    return true;
}

}  // namespace pravelo::platform::libreoffice
