#include "platform/posix/posix_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/posix/cp1252.h"
#include "platform/posix/system_error.h"
#include "platform/support/buffered_text_input.h"
#include "platform/support/crlf_line.h"

namespace pravelo::platform::posix {

namespace {

std::string quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// A missing file and a missing folder on the way to it are different failures.
Error openError(int err, const std::string& path, const std::string& what) {
    if (err == ENOENT) {
        const auto slash = path.rfind('/');
        const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
        struct stat info {};
        if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            return Error(errnum::PathNotFound,
                         "Stien findes ikke: " + quoted(path) + " (" + danishReason(err) + ")");
        }
        return Error(errnum::FileNotFound,
                     "Filen findes ikke: " + quoted(path) + " (" + danishReason(err) + ")");
    }
    return Error(errnumFor(err), what + " " + quoted(path) + ": " + danishReason(err));
}

// Opens without blocking (a FIFO would otherwise wait for its other end) and
// accepts ordinary files alone.
int openOrdinary(const std::string& path, int flags, const std::string& what) {
    if (path.empty()) {
        throw Error(errnum::PathNotFound, what + ": intet filnavn");
    }
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0) throw openError(errno, path, what);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int err = errno;
        ::close(fd);
        throw openError(err, path, what);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        const bool folder = S_ISDIR(info.st_mode);
        throw Error(errnum::FileAccess,
                    what + " " + quoted(path) + ": " +
                        (folder ? "det er en mappe" : "ikke en almindelig fil"));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

class PosixTextInput : public BufferedTextInput {
  public:
    PosixTextInput(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~PosixTextInput() override { ::close(fd_); }
    PosixTextInput(const PosixTextInput&) = delete;
    PosixTextInput& operator=(const PosixTextInput&) = delete;

  private:
    std::size_t fill(char* data, std::size_t size) override {
        ssize_t count;
        do {
            count = ::read(fd_, data, size);
        } while (count < 0 && errno == EINTR);
        if (count < 0) {
            const int err = errno;
            throw Error(errnumFor(err),
                        "Filen " + quoted(path_) + " kan ikke læses: " + danishReason(err));
        }
        return static_cast<std::size_t>(count);
    }

    std::string decode(const std::string& raw) override { return cp1252ToUtf8(raw); }

    int fd_;
    std::string path_;
};

}  // namespace

std::unique_ptr<TextInput> PosixFileSystem::openForInput(const std::string& path) {
    const int fd = openOrdinary(path, O_RDONLY, "Filen kan ikke åbnes");
    return std::make_unique<PosixTextInput>(fd, path);
}

void PosixFileSystem::appendLine(const std::string& path, const std::string& text) {
    const std::string bytes = crlfLine(utf8ToCp1252(text));

    const std::string what = "Der kan ikke skrives til filen";
    const int fd = openOrdinary(path, O_WRONLY | O_APPEND | O_CREAT, what);
    struct stat before {};
    ::fstat(fd, &before);
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (count < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            // A half line (disk full) would run into the next line appended.
            if (written > 0) {
                [[maybe_unused]] const int undone = ::ftruncate(fd, before.st_size);
            }
            ::close(fd);
            throw Error(errnumFor(err), what + " " + quoted(path) + ": " + danishReason(err));
        }
        written += static_cast<std::size_t>(count);
    }
    // Some file systems report a failed write only here.
    if (::close(fd) != 0 && errno != EINTR) {
        const int err = errno;
        throw Error(errnumFor(err), what + " " + quoted(path) + ": " + danishReason(err));
    }
}

bool PosixFileSystem::isOrdinaryFile(const std::string& path) {
    const auto slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name.front() == '.') return false;
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool PosixFileSystem::folderWritable(const std::string& folder) {
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

void PosixFileSystem::createFolder(const std::string& folder) {
    const std::string what = "Mappen kan ikke oprettes";
    if (folder.empty()) throw Error(errnum::PathNotFound, what + ": intet mappenavn");
    std::size_t end = 0;
    while (end != std::string::npos) {
        end = folder.find('/', end + 1);
        const std::string step = folder.substr(0, end);
        if (step.empty() || step.back() == '/') continue;
        // Private to the user, as settings folders are.
        if (::mkdir(step.c_str(), 0700) == 0) continue;
        const int err = errno;
        struct stat info {};
        if (err == EEXIST && ::stat(step.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) continue;
        if (err == EEXIST) {
            throw Error(errnum::PathNotFound,
                        what + " " + quoted(folder) + ": " + quoted(step) + " er ikke en mappe");
        }
        throw Error(errnumFor(err), what + " " + quoted(folder) + ": " + danishReason(err));
    }
}

void PosixFileSystem::copyFile(const std::string& from, const std::string& to) {
    const int in = openOrdinary(from, O_RDONLY, "Filen kan ikke åbnes");
    const std::string what = "Filen kan ikke kopieres til";
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (out < 0) {
        const int err = errno;
        ::close(in);
        throw Error(errnumFor(err), what + " " + quoted(to) + ": " + danishReason(err));
    }
    int err = 0;
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        const ssize_t count = ::read(in, buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) {
            if (count < 0) err = errno;
            break;
        }
        for (ssize_t written = 0; written < count && err == 0;) {
            const ssize_t step =
                ::write(out, buffer.data() + written, static_cast<std::size_t>(count - written));
            if (step < 0 && errno == EINTR) continue;
            if (step < 0) err = errno;
            if (step > 0) written += step;
        }
        if (err != 0) break;
    }
    ::close(in);
    if (::close(out) != 0 && err == 0 && errno != EINTR) err = errno;
    if (err != 0) {
        // Half a copy would pass for the user's own settings next time.
        ::unlink(to.c_str());
        throw Error(errnumFor(err), what + " " + quoted(to) + ": " + danishReason(err));
    }
}

}  // namespace pravelo::platform::posix
