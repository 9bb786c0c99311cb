#include "platform/posix/spawn.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/system_error.h"

extern char** environ;

namespace pravelo::platform::posix {

namespace {

void writeErrno(int fd, int err) {
    ssize_t ignored = ::write(fd, &err, sizeof err);
    (void)ignored;
}

// Runs in the child after fork: only async-signal-safe calls from here on.
[[noreturn]] void execClean(int report, const SpawnOptions& options, const char* program,
                            char* const argv[], char* const envp[]) {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal) sigaction(signal, &defaults, nullptr);
    if (options.ownProcessGroup) ::setpgid(0, 0);
    if (options.fileMask) ::umask(*options.fileMask);

    const int null = ::open("/dev/null", O_RDWR);
    if (null < 0) {
        writeErrno(report, errno);
        _exit(127);
    }
    // Moved clear of the standard streams before they are replaced.
    const int in = options.input >= 0 ? ::fcntl(options.input, F_DUPFD, 3) : null;
    const int out = options.output >= 0 ? ::fcntl(options.output, F_DUPFD, 3) : null;
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(null, 2);
    ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
    ::execve(program, argv, envp);
    writeErrno(report, errno);
    _exit(127);
}

}  // namespace

pid_t spawnProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const SpawnOptions& options) {
    std::vector<std::string> strings{program};
    strings.insert(strings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& s : strings) argv.push_back(s.data());
    argv.push_back(nullptr);
    std::vector<std::string> envStrings = options.environment.value_or(std::vector<std::string>{});
    std::vector<char*> envp;
    for (auto& s : envStrings) envp.push_back(s.data());
    envp.push_back(nullptr);
    char* const* env = options.environment ? envp.data() : environ;

    const std::string what = "Programmet \"" + program + "\" kan ikke startes";
    // The write end closes by itself when exec succeeds; a failed exec sends its errno.
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) throw systemError(errno, what);
    const pid_t child = ::fork();
    if (child < 0) {
        const int err = errno;
        ::close(pipe[0]);
        ::close(pipe[1]);
        throw systemError(err, what);
    }
    if (child == 0) {
        const int report = ::fcntl(pipe[1], F_DUPFD_CLOEXEC, 3);
        if (options.detached) {
            ::setsid();
            const pid_t grandchild = ::fork();
            if (grandchild < 0) {
                writeErrno(report, errno);
                _exit(1);
            }
            if (grandchild > 0) _exit(0);
        }
        execClean(report, options, argv[0], argv.data(), env);
    }
    ::close(pipe[1]);
    // Also here, so the group exists before anyone may signal it.
    if (options.ownProcessGroup && !options.detached) ::setpgid(child, child);
    if (options.detached) {
        // The middle process ends at once; reaping it leaves no zombie.
        while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    int err = 0;
    std::size_t received = 0;
    while (received < sizeof err) {
        const ssize_t count =
            ::read(pipe[0], reinterpret_cast<char*>(&err) + received, sizeof err - received);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) break;
        received += static_cast<std::size_t>(count);
    }
    ::close(pipe[0]);
    if (received == sizeof err) {
        if (!options.detached) {
            while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
            }
        }
        throw systemError(err, what);
    }
    return options.detached ? 0 : child;
}

}  // namespace pravelo::platform::posix
