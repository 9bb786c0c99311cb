#include "platform/libreoffice/host/host_forks.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/libreoffice/files/document_file.h"
#include "platform/libreoffice/fork/host_protocol.h"
#include "platform/libreoffice/host/fork_server.h"
#include "platform/libreoffice/host/user_rights.h"
#include "platform/libreoffice/leftovers.h"
#include "platform/libreoffice/office_errors.h"

namespace fs = std::filesystem;

namespace pravelo::platform::libreoffice {

namespace {
// Longer than a document usually takes, short enough that a finished batch
// does not keep an office waiting.
constexpr auto AheadUnused = std::chrono::seconds(2);
}  // namespace

HostForks::Made HostForks::make(int control) {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0)
        return {.failure = "ingen sokkel til kontorpakken"};
    const fs::path folder = setup_.root / "forks" / std::to_string(++count_);
    std::error_code ec;
    fs::create_directories(folder / "tmp", ec);
    if (!ec && setup_.view == ProfileView::Copy)
        restoreProfile(setup_.snapshot, setup_.profile, ec);
    if (ec) {
        ::close(ends[0]);
        ::close(ends[1]);
        return {.failure = "kontorpakkens profil kan ikke lægges frem"};
    }
    const pid_t host = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ends[0]);
        if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != host) ::_exit(1);
        serve(control, ends[1], folder);
    }
    ::close(ends[1]);
    if (pid < 0) {
        ::close(ends[0]);
        return {.failure = "kontorpakken kan ikke forgrenes"};
    }
    forks_.emplace(pid, folder);
    return {.pid = pid, .socket = ends[0]};
}

void HostForks::serve(int control, int socket, const fs::path& folder) {
    inFork_ = true;
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, control);
    // The office's own handlers can deadlock in a fork; a crash just ends it.
    for (int signal = 1; signal < NSIG; ++signal)
        if (signal != SIGKILL && signal != SIGSTOP) ::signal(signal, SIG_DFL);
    sigset_t all;
    sigemptyset(&all);
    ::sigprocmask(SIG_SETMASK, &all, nullptr);
    const std::string failure = setup_.view == ProfileView::Copy
                                    ? keepOnlyUserRights(heldCapabilities())
                                    : enterOverlay(setup_.profile, folder, setup_.view);
    if (!failure.empty()) {
        protocol::send(socket, protocol::failure(errors::CannotStartOffice,
                                                 "Kontorpakkens profil: " + failure));
        ::_exit(1);
    }
    // A new user namespace clears the parent-death signal.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    ::setenv("TMPDIR", (folder / "tmp").c_str(), 1);
    serveFork(socket, setup_.options, setup_.context, folder);
    ::_exit(0);
}

std::optional<HostForks::Made> HostForks::takeAhead() {
    aheadWanted_ = true;
    auto taken = std::move(ahead_);
    ahead_.reset();
    return taken;
}

void HostForks::keepAhead(int control) {
    if (ahead_ && std::chrono::steady_clock::now() - aheadSince_ > AheadUnused) {
        dropAhead();
        return;
    }
    if (!aheadWanted_ || ahead_ || (setup_.view == ProfileView::Copy && !forks_.empty())) return;
    aheadWanted_ = false;
    auto made = make(control);
    if (!made.failure.empty()) return;  // the next request forks, and says why it cannot
    ahead_ = made;
    aheadSince_ = std::chrono::steady_clock::now();
}

// Not wanted again until asked for: a fork that cannot start would otherwise
// be made over and over.
void HostForks::dropAhead() {
    if (!ahead_) return;
    ::kill(ahead_->pid, SIGKILL);
    ::close(ahead_->socket);
    ahead_.reset();
    aheadWanted_ = false;
}

void HostForks::kill(pid_t pid) const {
    if (forks_.contains(pid)) ::kill(pid, SIGKILL);
}

void HostForks::reapEnded() {
    for (auto it = forks_.begin(); it != forks_.end();) {
        int status = 0;
        if (::waitpid(it->first, &status, WNOHANG) == it->first) {
            if (ahead_ && ahead_->pid == it->first) dropAhead();
            finish(it->second, status);
            it = forks_.erase(it);
        } else {
            ++it;
        }
    }
}

void HostForks::reap(pid_t pid) {
    const auto it = forks_.find(pid);
    if (it == forks_.end()) return;
    int status = 0;
    pid_t got;
    do {
        got = ::waitpid(pid, &status, 0);
    } while (got < 0 && errno == EINTR);
    if (got == pid) finish(it->second, status);
    forks_.erase(it);
}

void HostForks::endAll() {
    dropAhead();
    for (const auto& [pid, folder] : forks_) ::kill(pid, SIGKILL);
    while (!forks_.empty()) reap(forks_.begin()->first);
    removeTree(setup_.root / "forks");
}

// What a fork leaves: a rewrite cut short is put back; lock files of an
// office that did not end by itself are removed; then its folder goes.
void HostForks::finish(const fs::path& folder, int status) {
    const bool clean = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    undoUnfinished(folder, !clean);
    removeTree(folder);
}

}  // namespace pravelo::platform::libreoffice
