#include "platform/posix/posix_process_starter.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/error.h"
#include "platform/posix/system_error.h"

namespace pravelo::platform::posix {

namespace {

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

void writeErrno(int fd, int err) {
    ssize_t ignored = ::write(fd, &err, sizeof err);
    (void)ignored;
}

// Runs in the grandchild after fork: only async-signal-safe calls from here on.
[[noreturn]] void execDetached(int report, const char* program, char* const argv[]) {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal) sigaction(signal, &defaults, nullptr);

    const int null = ::open("/dev/null", O_RDWR);
    if (null < 0) {
        writeErrno(report, errno);
        _exit(127);
    }
    for (int fd = 0; fd <= 2; ++fd) {
        if (null != fd) ::dup2(null, fd);
    }
    if (null > 2) ::close(null);
    // Nothing of ours beyond the standard streams goes to the new program.
    ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
    ::execv(program, argv);
    writeErrno(report, errno);
    _exit(127);
}

}  // namespace

void startDetached(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<std::string> strings{program};
    strings.insert(strings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& s : strings) argv.push_back(s.data());
    argv.push_back(nullptr);

    // The write end closes by itself when exec succeeds; a failed exec sends its errno.
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) {
        throw systemError(errno, "Programmet " + quoted(program) + " kan ikke startes");
    }
    const pid_t child = ::fork();
    if (child < 0) {
        const int err = errno;
        ::close(pipe[0]);
        ::close(pipe[1]);
        throw systemError(err, "Programmet " + quoted(program) + " kan ikke startes");
    }
    if (child == 0) {
        // Keep the report end clear of the standard streams about to be replaced.
        const int report = ::fcntl(pipe[1], F_DUPFD_CLOEXEC, 3);
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild < 0) {
            writeErrno(report, errno);
            _exit(1);
        }
        if (grandchild > 0) _exit(0);
        execDetached(report, argv[0], argv.data());
    }

    ::close(pipe[1]);
    // The middle process ends at once; reaping it leaves no zombie, and the
    // program itself now belongs to init.
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
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
        throw systemError(err, "Programmet " + quoted(program) + " kan ikke startes");
    }
}

std::vector<std::string> PosixProcessStarter::defaultEditors() {
    return {"gnome-text-editor", "gedit",   "kate",    "kwrite", "mousepad", "pluma", "xed",
            "featherpad",        "leafpad", "l3afpad", "geany",  "scite",    "gvim"};
}

bool PosixProcessStarter::environmentHasDisplay() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

void PosixProcessStarter::startTextEditor(const std::string& path) {
    if (!options_.hasDisplay()) {
        throw Error(errnum::DeviceUnavailable,
                    "Ingen grafisk skærm fundet (hverken DISPLAY eller WAYLAND_DISPLAY er sat), "
                    "så teksteditoren kan ikke startes");
    }
    // A name beginning with "-" would be read as an option by the editor.
    const std::string argument = path.starts_with('-') ? "./" + path : path;
    std::string tried;
    std::string lastFailure;
    std::int32_t lastNumber = errnum::FileNotFound;
    for (const auto& editor : options_.editors) {
        tried += (tried.empty() ? "" : ", ") + editor;
        const std::string program = options_.lookup(editor);
        if (program.empty()) continue;
        try {
            startDetached(program, {argument});
            return;
        } catch (const Error& e) {
            lastFailure = e.description();
            lastNumber = e.number();
        }
    }
    if (!lastFailure.empty()) throw Error(lastNumber, lastFailure);
    throw Error(errnum::FileNotFound,
                "Ingen grafisk teksteditor fundet (søgte efter " + tried + ")");
}

void PosixProcessStarter::startProgram(const std::string& path) {
    if (path.empty()) throw Error(errnum::FileNotFound, "Intet program angivet");
    std::string program = path;
    if (path.find('/') == std::string::npos) {
        program = options_.lookup(path);
        if (program.empty()) {
            throw Error(errnum::FileNotFound, "Programmet " + quoted(path) + " findes ikke");
        }
    }
    startDetached(program, {});
}

}  // namespace pravelo::platform::posix
