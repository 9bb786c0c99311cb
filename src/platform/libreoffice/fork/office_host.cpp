#include "platform/libreoffice/fork/office_host.h"

#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/libreoffice/fork/host_protocol.h"
#include "platform/libreoffice/guard/office_process.h"
#include "platform/libreoffice/office_errors.h"
#include "platform/libreoffice/private_profile.h"
#include "platform/posix/spawn.h"
#include "platform/posix/system_error.h"

namespace fs = std::filesystem;

namespace pravelo::platform::libreoffice {
namespace {

// A first start on a fresh profile, warm-up included; generous for a busy machine.
constexpr auto StartLimit = std::chrono::seconds(60);
constexpr auto AnswerLimit = std::chrono::seconds(30);

std::string hostProgram() {
    // Beside the program when installed; where the build put it otherwise.
    std::error_code ec;
    const auto beside =
        fs::read_symlink("/proc/self/exe", ec).parent_path() / "pravelo-office-host";
    if (!ec && fs::exists(beside, ec)) return beside.string();
    return PRAVELO_OFFICE_HOST;
}

Error cannotStart(const std::string& reason) {
    return Error(errors::CannotStartOffice, "Kontorpakkens vært kan ikke startes: " + reason);
}

}  // namespace

OfficeHost::OfficeHost(const LibreOfficeOptions& options, const std::string& productVersion,
                       const std::string& view) {
    if (!fs::exists(options.soffice))
        throw cannotStart(options.soffice.string() + " er ikke installeret");
    profile_ =
        std::make_unique<PrivateProfile>(options.tempFolder, options.userProfile, productVersion);
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0)
        throw cannotStart(posix::danishReason(errno));
    try {
        pid_ = posix::spawnProgram(hostProgram(), {},
                                   {.environment = officeEnvironment(profile_->root() / "tmp"),
                                    .ownProcessGroup = true,
                                    .input = ends[1],
                                    .output = -1});
    } catch (const Error& e) {
        ::close(ends[0]);
        ::close(ends[1]);
        throw cannotStart(e.description());
    }
    ::close(ends[1]);
    control_ = ends[0];
    // The profile's path goes by the socket: a command line is for all to read.
    protocol::send(control_, {"start", profile_->root().string(), options.soffice.string(),
                              options.tempFolder.string(), view});
    bool timedOut = false;
    const auto answer = protocol::receive(control_, StartLimit, timedOut);
    if (!answer || answer->fields.size() < 3 || answer->fields[0] != "ready") {
        const std::string reason =
            timedOut ? "den blev ikke klar inden for " + std::to_string(StartLimit.count()) + " s"
            : answer && answer->fields.size() > 1 ? answer->fields[1]
                                                  : "den stoppede under opstarten";
        stop();
        throw cannotStart(reason);
    }
    view_ = answer->fields[1];
    startCost_ = std::chrono::milliseconds(std::atoll(answer->fields[2].c_str()));
}

OfficeHost::~OfficeHost() {
    stop();
}

void OfficeHost::stop() {
    if (pid_ < 0) return;
    // The end of its input: it ends its forks, removes the profile and ends.
    // Its end of the socket closes as it ends, which wakes us at once.
    ::shutdown(control_, SHUT_WR);
    int status = 0;
    bool closed = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (pid_ > 0 && std::chrono::steady_clock::now() < deadline) {
        if (!closed) {
            pollfd gone{control_, POLLIN, 0};
            if (::poll(&gone, 1, 10) > 0) {
                char drain[256];
                closed = (gone.revents & POLLIN) == 0 ||
                         ::recv(control_, drain, sizeof drain, MSG_DONTWAIT) <= 0;
            }
        } else {
            ::usleep(1000);
        }
        const pid_t got = ::waitpid(pid_, &status, WNOHANG);
        if (got == pid_ || (got < 0 && errno != EINTR)) pid_ = -1;
    }
    ::close(control_);
    control_ = -1;
    if (pid_ > 0) {
        ::kill(-pid_, SIGKILL);
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }
    profile_.reset();
}

OfficeHost::Fork OfficeHost::fork() {
    std::lock_guard lock(mutex_);
    if (control_ < 0 || !protocol::send(control_, {"fork"}))
        throw Error(errors::CannotStartOffice, "Kontorpakkens vært er stoppet");
    bool timedOut = false;
    auto answer = protocol::receive(control_, AnswerLimit, timedOut);
    if (!answer || answer->fields.size() < 2 || answer->fields[0] != "child" ||
        answer->descriptor < 0) {
        if (answer && answer->descriptor >= 0) ::close(answer->descriptor);
        throw Error(errors::CannotStartOffice,
                    "Kontorpakken kan ikke startes: " + (answer && answer->fields.size() > 1
                                                             ? answer->fields[1]
                                                             : std::string("værten svarer ikke")));
    }
    return {std::atoi(answer->fields[1].c_str()), answer->descriptor};
}

void OfficeHost::kill(pid_t fork) const {
    if (control_ >= 0) protocol::send(control_, {"kill", std::to_string(fork)});
}

void OfficeHost::waitGone(pid_t fork) {
    std::lock_guard lock(mutex_);
    if (control_ < 0 || !protocol::send(control_, {"wait", std::to_string(fork)})) return;
    const std::string id = std::to_string(fork);
    while (true) {
        bool timedOut = false;
        const auto answer = protocol::receive(control_, AnswerLimit, timedOut);
        if (!answer) return;
        if (answer->descriptor >= 0) ::close(answer->descriptor);
        if (answer->fields.size() > 1 && answer->fields[0] == "done" && answer->fields[1] == id)
            return;
    }
}

bool OfficeHost::running() {
    if (pid_ < 0) return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        ::close(control_);
        control_ = -1;
        return false;
    }
    return true;
}

}  // namespace pravelo::platform::libreoffice
