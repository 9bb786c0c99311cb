#include "program_run.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "office_fixture.h"
#include "wait_until.h"

namespace pravelo::testing {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

ProgramRun::ProgramRun(const fs::path& root, const std::vector<std::string>& arguments)
    : root_(root), folder_(root / "program"), officeTemp_(root / "office-temp") {
    fs::create_directories(folder_);
    fs::create_directories(officeTemp_);
    const char* built = std::getenv("PRAVELO_PROGRAM");
    if (built == nullptr) throw std::runtime_error("PRAVELO_PROGRAM is not set");
    fs::copy_file(built, folder_ / "pravelo", fs::copy_options::overwrite_existing);
    if (!fs::exists(folder_ / "Pravelo.dll")) {
        std::ofstream(folder_ / "Pravelo.dll", std::ios::binary)
            << "[Makro]\r\nMaerk\r\n\r\n[DocType]\r\n*.rtf\r\n\r\n";
    }

    std::vector<std::string> environment{"HOME=" + (root / "home").string(),
                                         "TMPDIR=" + officeTemp_.string(),
                                         "XDG_RUNTIME_DIR=" + officeTemp_.string()};
    for (const char* name : {"PATH", "LANG", "PRAVELO_OFFICE_ENGINE"}) {
        if (const char* value = std::getenv(name))
            environment.push_back(name + ("=" + std::string(value)));
    }
    std::vector<char*> envp;
    for (auto& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);

    std::vector<std::string> strings{(folder_ / "pravelo").string()};
    strings.insert(strings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& s : strings) argv.push_back(s.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string output = (root / "program.out").string();
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const int failed = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) throw std::runtime_error("cannot start the program");
}

ProgramRun::~ProgramRun() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    for (const pid_t office : offices()) ::kill(office, SIGKILL);
    for (const pid_t host : hosts()) ::kill(host, SIGKILL);
}

std::optional<int> ProgramRun::waitForExit(std::chrono::seconds limit) {
    int status = 0;
    if (!testing::waitUntil([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, limit))
        return std::nullopt;
    pid_ = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string ProgramRun::output() const {
    return readBytes(root_ / "program.out");
}

std::vector<pid_t> ProgramRun::offices() const {
    return officesOf(officeTemp_);
}

std::vector<pid_t> ProgramRun::hosts() const {
    return officeHostsOf(officeTemp_);
}

}  // namespace pravelo::testing
