// Runs 40 small documents through `pravelo --makro ...` with one document at a
// time and with two at once, in the same run, and prints seconds per document
// and the ratio of the two. Each run starts its offices afresh, as a script's would.
// The two take turns for a few rounds (default 3; the first argument sets it),
// and the ratio is that of the medians: one busy moment on a shared machine
// would otherwise decide it.

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_files.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

using pravelo::bench::writeFile;
using pravelo::bench::writeMacroProfile;

constexpr int kDocuments = 40;

void writeDocuments(const fs::path& folder) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (int i = 0; i < kDocuments; ++i) {
        const std::string name = "brev" + std::to_string(100 + i) + ".rtf";
        writeFile(folder / name,
                  "{\\rtf1\\ansi\\deff0 Brev nummer " + std::to_string(i) + "\\par}");
    }
}

// The program's exit code, or -1.
int runProgram(const fs::path& program, const fs::path& home,
               const std::vector<std::string>& args) {
    // Unflushed lines would be written by the child as well.
    std::fflush(stdout);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("HOME", home.c_str(), 1);
        std::vector<std::string> strings{program.string()};
        strings.insert(strings.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& s : strings) argv.push_back(s.data());
        argv.push_back(nullptr);
        if (std::freopen("/dev/null", "w", stdout) == nullptr) ::_exit(127);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path root =
        fs::temp_directory_path() / ("pravelo-cli-bench-" + std::to_string(::getpid()));
    const fs::path programFolder = root / "program";
    const fs::path home = root / "home";
    const fs::path documents = root / "dokumenter";
    fs::create_directories(programFolder);
    fs::copy_file(PRAVELO_PROGRAM, programFolder / "pravelo");
    writeFile(programFolder / "Pravelo.dll",
              "[Makro]\r\nInsertText\r\n\r\n[DocType]\r\n*.rtf\r\n\r\n");
    writeMacroProfile(home / ".config" / "libreoffice" / "4" / "user");

    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::printf(
        "%d small documents through the command line (%s engine), %d rounds\n", kDocuments,
        std::getenv("PRAVELO_OFFICE_ENGINE") ? std::getenv("PRAVELO_OFFICE_ENGINE") : "fork",
        rounds);
    std::vector<double> seconds[2];
    for (int round = 0; round < rounds; ++round) {
        for (const int atOnce : {1, 2}) {
            writeDocuments(documents);
            const auto start = Clock::now();
            const int code = runProgram(programFolder / "pravelo", home,
                                        {"--makro", "InsertText", "--samtidige",
                                         std::to_string(atOnce), documents.string()});
            const double taken = std::chrono::duration<double>(Clock::now() - start).count();
            seconds[atOnce - 1].push_back(taken);
            std::printf("  %d at once: %6.2f s in all, %5.3f s per document (exit code %d)\n",
                        atOnce, taken, taken / kDocuments, code);
        }
    }
    const auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    const double one = median(seconds[0]);
    const double two = median(seconds[1]);
    std::printf("  medians: 1 at once %.3f s per document, 2 at once %.3f s per document\n",
                one / kDocuments, two / kDocuments);
    std::printf("  2 at once / 1 at once: %.2f (goal on 2 cores: at most 0.60)\n", two / one);
    fs::remove_all(root);
    return 0;
}
