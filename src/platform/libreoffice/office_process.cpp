#include "platform/libreoffice/office_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/libreoffice/office_errors.h"

extern char** environ;

namespace pravelo::platform::libreoffice {
namespace {

bool isUtf8Locale(const char* value) {
    if (value == nullptr) return false;
    std::string lower(value);
    for (auto& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.find("utf-8") != std::string::npos || lower.find("utf8") != std::string::npos;
}

const char* effectiveCtype() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return value;
    }
    return nullptr;
}

// Everything the child needs is built before fork: after it only
// async-signal-safe calls are allowed.
struct ExecArgs {
    std::vector<std::string> storage;
    std::vector<char*> argv;
    std::vector<std::string> envStorage;
    std::vector<char*> envp;

    ExecArgs(const std::string& program, const std::vector<std::string>& args,
             std::vector<std::string> env)
        : envStorage(std::move(env)) {
        storage.push_back(program);
        storage.insert(storage.end(), args.begin(), args.end());
        for (auto& s : storage) argv.push_back(s.data());
        argv.push_back(nullptr);
        for (auto& s : envStorage) envp.push_back(s.data());
        envp.push_back(nullptr);
    }
};

void redirectToNull() {
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        if (null > STDERR_FILENO) ::close(null);
    }
}

}  // namespace

std::vector<std::string> officeEnvironment() {
    std::vector<std::string> env;
    const bool forceUtf8 = !isUtf8Locale(effectiveCtype());
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        if (forceUtf8 && (entry.starts_with("LC_ALL=") || entry.starts_with("LANG="))) continue;
        env.push_back(entry);
    }
    if (forceUtf8) {
        env.push_back("LC_ALL=C.UTF-8");
        env.push_back("LANG=C.UTF-8");
    }
    return env;
}

OfficeProcess::OfficeProcess(const std::string& program, const std::vector<std::string>& args) {
    ExecArgs exec(program, args, officeEnvironment());
    pid_ = ::fork();
    if (pid_ < 0) {
        throw Error(errors::CannotStartOffice,
                    "Cannot start the office " + program + ": " + std::strerror(errno));
    }
    if (pid_ == 0) {
        ::setpgid(0, 0);
        redirectToNull();
        ::execve(exec.argv[0], exec.argv.data(), exec.envp.data());
        ::_exit(127);
    }
    // Also here, so the group exists before anyone may kill it.
    ::setpgid(pid_, pid_);
}

OfficeProcess::~OfficeProcess() {
    if (pid_ > 0 && (!reaped_ || groupAlive())) killAndReap();
}

bool OfficeProcess::running() {
    if (reaped_) return false;
    int status = 0;
    const pid_t r = ::waitpid(pid_, &status, WNOHANG);
    if (r == pid_ || (r < 0 && errno == ECHILD)) {
        reaped_ = true;
        status_ = status;
        return false;
    }
    return true;
}

bool OfficeProcess::groupAlive() const {
    return ::kill(-pid_, 0) == 0 || errno == EPERM;
}

bool OfficeProcess::waitForExit(std::chrono::milliseconds grace) {
    const auto until = std::chrono::steady_clock::now() + grace;
    while (true) {
        const bool leaderRunning = running();
        if (!leaderRunning && !groupAlive()) return true;
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void OfficeProcess::killGroup() const {
    if (pid_ > 0) ::kill(-pid_, SIGKILL);
}

void OfficeProcess::killAndReap() {
    killGroup();
    if (!reaped_) {
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        reaped_ = true;
        status_ = status;
    }
    // Members re-parented to init vanish once it reaps them.
    for (int i = 0; i < 200 && groupAlive(); ++i) {
        killGroup();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

SocketOwner socketOwner(const std::string& socketPath, pid_t group) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return SocketOwner::NotListening;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof(address.sun_path)) {
        ::close(fd);
        return SocketOwner::NotListening;
    }
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    auto owner = SocketOwner::NotListening;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0) {
        ucred peer{};
        socklen_t length = sizeof(peer);
        if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0) {
            owner = ::getpgid(peer.pid) == group ? SocketOwner::Group : SocketOwner::Other;
        }
    }
    ::close(fd);
    return owner;
}

void startDetached(const std::string& program, const std::vector<std::string>& args) {
    ExecArgs exec(program, args, officeEnvironment());
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        throw Error(errors::CannotStartOffice,
                    "Cannot start " + program + ": " + std::strerror(errno));
    }
    const pid_t child = ::fork();
    if (child < 0) {
        const int err = errno;
        ::close(report[0]);
        ::close(report[1]);
        throw Error(errors::CannotStartOffice,
                    "Cannot start " + program + ": " + std::strerror(err));
    }
    if (child == 0) {
        ::close(report[0]);
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild != 0) ::_exit(grandchild < 0 ? 1 : 0);
        redirectToNull();
        ::execve(exec.argv[0], exec.argv.data(), exec.envp.data());
        const int err = errno;
        [[maybe_unused]] auto n = ::write(report[1], &err, sizeof(err));
        ::_exit(127);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int execError = 0;
    ssize_t n;
    while ((n = ::read(report[0], &execError, sizeof(execError))) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    if (n == sizeof(execError)) {
        throw Error(errors::CannotStartOffice,
                    "Cannot start " + program + ": " + std::strerror(execError));
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw Error(errors::CannotStartOffice, "Cannot start " + program);
    }
}

Watchdog::Watchdog(std::chrono::milliseconds limit, std::function<void()> onExpiry) {
    thread_ = std::thread([this, limit, onExpiry = std::move(onExpiry)] {
        std::unique_lock lock(mutex_);
        if (!wake_.wait_for(lock, limit, [this] { return done_; })) {
            expired_ = true;
            onExpiry();
        }
    });
}

Watchdog::~Watchdog() {
    {
        std::lock_guard lock(mutex_);
        done_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void removeLockFile(const std::string& documentPath) {
    const std::filesystem::path path(documentPath);
    std::error_code ignored;
    std::filesystem::remove(path.parent_path() / (".~lock." + path.filename().string() + "#"),
                            ignored);
}

}  // namespace pravelo::platform::libreoffice
