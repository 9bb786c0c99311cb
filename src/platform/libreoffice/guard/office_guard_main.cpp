// The guard of one hidden office: its parent, outside the program's own
// process, so that the office ends and what it leaves is removed however the
// program ends, SIGKILL included.
//
// pravelo-office-guard [--profile DIR] [--remove PATH]... -- [PROGRAM ARGS...]
//
// Without a program it only keeps the profile folder until the end of input.
// Standard input carries the program's requests, one per line:
//   kill                 end the office now
//   lock PATH            a lock file the office made; removed unless it ends cleanly
//   safe COPY<TAB>FILE   FILE is being rewritten; COPY holds its old content
//   saved                the rewrite is complete
//   profile DIR          as --profile (kept out of the command line, which
//                        others may read)
// Standard output answers: "started PID", "failed TEXT", "exit STATUS" (the
// first process ended) and "gone" (nothing of the office is left).
// End of input, for whatever reason, ends the office and cleans up.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/libreoffice/files/document_file.h"
#include "platform/libreoffice/guard/guard_protocol.h"
#include "platform/posix/spawn.h"

namespace fs = std::filesystem;
using pravelo::platform::libreoffice::restoreFromSafetyCopy;
using namespace pravelo::platform::libreoffice::guard_protocol;

namespace {

void say(const std::string& line) {
    const std::string text = line + "\n";
    ssize_t ignored = ::write(STDOUT_FILENO, text.data(), text.size());
    (void)ignored;
}

// Our unreaped children, the office's orphans among them (we are their subreaper).
std::vector<pid_t> children() {
    std::vector<pid_t> pids;
    std::error_code ec;
    for (const auto& task : fs::directory_iterator("/proc/self/task", ec)) {
        std::ifstream in(task.path() / "children");
        pid_t pid;
        while (in >> pid) pids.push_back(pid);
    }
    return pids;
}

struct Office {
    pid_t leader = -1;
    bool leaderReaped = false;
    int leaderStatus = 0;
    bool killed = false;
    bool goneSaid = false;

    // A group is signalled only while its leader is unreaped: its id cannot
    // have been given to anyone else. Orphans are our own children by pid.
    void kill() {
        killed = true;
        if (!leaderReaped) ::kill(-leader, SIGKILL);
        for (const pid_t pid : children()) ::kill(pid, SIGKILL);
    }

    // Returns false once nothing of the office is left.
    bool reap(bool block) {
        while (true) {
            int status = 0;
            const pid_t pid = ::waitpid(-1, &status, block ? 0 : WNOHANG);
            if (pid > 0) {
                if (pid == leader) {
                    leaderReaped = true;
                    leaderStatus = status;
                    say(line(Exit, std::to_string(status)));
                }
                continue;
            }
            if (pid < 0 && errno == EINTR) continue;
            if (pid < 0 && errno == ECHILD) {
                if (!goneSaid) say(std::string(Gone));
                goneSaid = true;
                return false;
            }
            return true;
        }
    }

    bool endedCleanly() const {
        return leaderReaped && !killed && WIFEXITED(leaderStatus) && WEXITSTATUS(leaderStatus) == 0;
    }
};

}  // namespace

int main(int argc, char** argv) {
    std::optional<fs::path> profile;
    std::vector<std::string> removals;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") break;
        if (arg == ProfileOption && i + 1 < argc) profile = argv[++i];
        if (arg == RemoveOption && i + 1 < argc) removals.push_back(argv[++i]);
    }
    const std::string program = i + 1 < argc ? argv[i + 1] : "";
    const std::vector<std::string> arguments(argv + std::min(i + 2, argc), argv + argc);

    // Only the end of our input ends us: a signal to the program's terminal
    // group must not leave the office without its guard.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) ::signal(signal, SIG_IGN);
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    ::umask(077);

    Office office;
    if (!program.empty()) try {
            office.leader = pravelo::platform::posix::spawnProgram(program, arguments,
                                                                   {.ownProcessGroup = true});
            say(line(Started, std::to_string(office.leader)));
        } catch (const std::exception& e) {
            say(line(Failed, e.what()));
        }

    std::vector<std::string> locks;
    std::optional<std::pair<std::string, std::string>> rewrite;
    std::string pending;
    bool alive = office.leader > 0;
    while (true) {
        pollfd input{STDIN_FILENO, POLLIN, 0};
        const int ready = ::poll(&input, 1, alive ? 20 : -1);
        if (alive) alive = office.reap(false);
        if (ready <= 0) continue;
        char buffer[4096];
        const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) break;
        pending.append(buffer, static_cast<std::size_t>(count));
        std::size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            const std::string request = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (request == Kill) {
                if (alive) office.kill();
            } else if (const auto lock = textOf(request, Lock)) {
                locks.push_back(*lock);
            } else if (const auto safe = textOf(request, Safe)) {
                const auto separator = safe->find(RewriteSeparator);
                if (separator != std::string::npos)
                    rewrite.emplace(safe->substr(0, separator), safe->substr(separator + 1));
            } else if (request == Saved) {
                rewrite.reset();
            } else if (const auto folder = textOf(request, Profile)) {
                profile = *folder;
            }
        }
    }

    if (alive) {
        office.kill();
        office.reap(true);
    }
    // A rewrite cut short is undone, so the document is as it was.
    if (rewrite) restoreFromSafetyCopy(rewrite->first, rewrite->second);
    std::error_code ignored;
    if (!office.endedCleanly()) {
        for (const auto& lock : locks) fs::remove(lock, ignored);
        for (const auto& path : removals) fs::remove(path, ignored);
    }
    if (profile) fs::remove_all(*profile, ignored);
    return 0;
}
