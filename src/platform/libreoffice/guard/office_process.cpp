#include "platform/libreoffice/guard/office_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <tuple>
#include <utility>

#include "platform/libreoffice/guard/guard_protocol.h"
#include "platform/libreoffice/office_errors.h"
#include "platform/posix/spawn.h"
#include "platform/posix/system_error.h"

extern char** environ;

namespace fs = std::filesystem;

namespace pravelo::platform::libreoffice {

using namespace guard_protocol;

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

std::string guardProgram() {
    // Beside the program when installed; where the build put it otherwise.
    std::error_code ec;
    const auto beside =
        fs::read_symlink("/proc/self/exe", ec).parent_path() / "pravelo-office-guard";
    if (!ec && fs::exists(beside, ec)) return beside.string();
    return PRAVELO_OFFICE_GUARD;
}

// The guard, talking to us over its standard input and output; returns its
// pid and our end of the socket pair. Throws Error.
std::pair<pid_t, int> startGuard(const std::vector<std::string>& args,
                                 std::optional<std::vector<std::string>> environment) {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        throw posix::systemError(errno, "Kontorpakkens vagtproces kan ikke startes");
    try {
        const pid_t pid = posix::spawnProgram(guardProgram(), args,
                                              {.environment = std::move(environment),
                                               .ownProcessGroup = true,
                                               .input = ends[1],
                                               .output = ends[1]});
        ::close(ends[1]);
        return {pid, ends[0]};
    } catch (...) {
        ::close(ends[0]);
        ::close(ends[1]);
        throw;
    }
}

}  // namespace

std::vector<std::string> officeEnvironment(const fs::path& tempFolder) {
    std::vector<std::string> env;
    const bool forceUtf8 = !isUtf8Locale(effectiveCtype());
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        if (forceUtf8 && (entry.starts_with("LC_ALL=") || entry.starts_with("LANG="))) continue;
        if (!tempFolder.empty() && entry.starts_with("TMPDIR=")) continue;
        env.push_back(entry);
    }
    if (forceUtf8) {
        env.push_back("LC_ALL=C.UTF-8");
        env.push_back("LANG=C.UTF-8");
    }
    if (!tempFolder.empty()) env.push_back("TMPDIR=" + tempFolder.string());
    return env;
}

OfficeProcess::OfficeProcess(const std::string& program, const std::vector<std::string>& args,
                             OfficeLeftovers leftovers) {
    std::vector<std::string> guardArgs;
    if (!leftovers.profile.empty())
        guardArgs.insert(guardArgs.end(), {std::string(ProfileOption), leftovers.profile});
    for (const auto& socket : leftovers.sockets)
        guardArgs.insert(guardArgs.end(), {std::string(RemoveOption), socket});
    guardArgs.push_back("--");
    guardArgs.push_back(program);
    guardArgs.insert(guardArgs.end(), args.begin(), args.end());

    try {
        const fs::path temp = leftovers.profile.empty() ? fs::path() : leftovers.profile / "tmp";
        const auto [pid, socket] = startGuard(guardArgs, officeEnvironment(temp));
        guard_ = pid;
        requests_ = answers_ = socket;
    } catch (const Error& e) {
        throw Error(errors::CannotStartOffice, e.description());
    }
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (leader_ < 0 && failure_.empty() && !gone_ && std::chrono::steady_clock::now() < until)
        listen(std::chrono::seconds(1));
    if (leader_ < 0) {
        const std::string reason = failure_.empty() ? "vagtprocessen svarer ikke" : failure_;
        ::close(requests_);
        requests_ = answers_ = -1;
        while (::waitpid(guard_, nullptr, 0) < 0 && errno == EINTR) {
        }
        throw Error(errors::CannotStartOffice,
                    "Kontorpakken " + program + " kan ikke startes: " + reason);
    }
}

OfficeProcess::~OfficeProcess() {
    if (guard_ < 0) return;
    if (!gone_) killAndReap();
    // End of our requests: the guard removes what the office left and ends.
    if (requests_ >= 0) ::close(requests_);
    while (::waitpid(guard_, nullptr, 0) < 0 && errno == EINTR) {
    }
}

GuardedFolder::GuardedFolder(const fs::path& folder) {
    std::tie(guard_, socket_) = startGuard({"--"}, std::nullopt);
    const std::string request = line(Profile, folder.string()) + "\n";
    [[maybe_unused]] auto sent = ::send(socket_, request.data(), request.size(), MSG_NOSIGNAL);
}

GuardedFolder::~GuardedFolder() {
    ::close(socket_);
    while (::waitpid(guard_, nullptr, 0) < 0 && errno == EINTR) {
    }
}

void OfficeProcess::tell(const std::string& request) const {
    if (requests_ < 0) return;
    const std::string text = request + "\n";
    // One send per request: the watchdog's thread may tell at the same time.
    [[maybe_unused]] auto sent = ::send(requests_, text.data(), text.size(), MSG_NOSIGNAL);
}

bool OfficeProcess::listen(std::chrono::milliseconds timeout) {
    if (answers_ < 0 || gone_) return false;
    pollfd fd{answers_, POLLIN, 0};
    if (::poll(&fd, 1, static_cast<int>(timeout.count())) <= 0) return false;
    char buffer[1024];
    const ssize_t count = ::recv(answers_, buffer, sizeof buffer, 0);
    if (count <= 0) {
        // The guard itself is gone: nothing of the office can be left either.
        if (count == 0 || errno != EINTR) {
            exited_ = gone_ = true;
            if (failure_.empty() && leader_ < 0) failure_ = "vagtprocessen stoppede";
        }
        return count < 0;
    }
    pending_.append(buffer, static_cast<std::size_t>(count));
    std::size_t end;
    while ((end = pending_.find('\n')) != std::string::npos) {
        const std::string answer = pending_.substr(0, end);
        pending_.erase(0, end + 1);
        if (const auto pid = textOf(answer, Started)) {
            leader_ = std::atoi(pid->c_str());
        } else if (const auto failure = textOf(answer, Failed)) {
            failure_ = *failure;
        } else if (const auto status = textOf(answer, Exit)) {
            exited_ = true;
            status_ = std::atoi(status->c_str());
        } else if (answer == Gone) {
            exited_ = gone_ = true;
        }
    }
    return true;
}

bool OfficeProcess::running() {
    while (!exited_ && listen(std::chrono::milliseconds(0))) {
    }
    return !exited_;
}

bool OfficeProcess::waitForExit(std::chrono::milliseconds grace) {
    const auto until = std::chrono::steady_clock::now() + grace;
    while (!gone_) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        listen(left);
    }
    return true;
}

void OfficeProcess::killGroup() const {
    tell(std::string(Kill));
}

void OfficeProcess::killAndReap() {
    killGroup();
    waitForExit(std::chrono::seconds(10));
}

void OfficeProcess::noteLockFile(const std::string& path) const {
    tell(line(Lock, path));
}

void OfficeProcess::noteRewrite(const std::string& copy, const std::string& target) const {
    tell(line(Safe, copy + RewriteSeparator + target));
}

void OfficeProcess::noteRewriteDone() const {
    tell(std::string(Saved));
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

fs::path lockFileOf(const fs::path& document) {
    return document.parent_path() / (".~lock." + document.filename().string() + "#");
}

}  // namespace pravelo::platform::libreoffice
