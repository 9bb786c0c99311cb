#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace pravelo::testing {

// The built program (PRAVELO_PROGRAM) copied into root/program beside a
// settings file and started there as a script would start it, with a home and
// a temporary folder of its own under root; standard output and error go to
// root/program.out. Killed with whatever it started if the test ends early.
class ProgramRun {
  public:
    ProgramRun(const std::filesystem::path& root, const std::vector<std::string>& arguments);
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    pid_t pid() const { return pid_; }
    const std::filesystem::path& programFolder() const { return folder_; }
    // The exit code (128 + signal when killed), once ended within the limit.
    std::optional<int> waitForExit(std::chrono::seconds limit);
    std::string output() const;
    // Hidden offices of this run: over UNO, or forks of its office hosts.
    std::vector<pid_t> offices() const;
    std::vector<pid_t> hosts() const;

  private:
    std::filesystem::path root_;
    std::filesystem::path folder_;
    std::filesystem::path officeTemp_;
    pid_t pid_ = 0;
};

}  // namespace pravelo::testing
