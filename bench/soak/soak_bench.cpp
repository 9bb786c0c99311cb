// Runs N small documents (default 1000) through the default engine the way
// the worker does, and every 100 documents prints the cost per document, the
// host's memory and open descriptors, our processes alive, and the temporary
// folders, lock files and private profiles present; at the end the growth
// from the first 100 documents to the last.
//
//   pravelo_soak_bench [N]

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench_files.h"
#include "platform/error.h"
#include "platform/libreoffice/fork/fork_launcher.h"
#include "platform/libreoffice/fork/office_host.h"
#include "platform/libreoffice/private_profile.h"

namespace fs = std::filesystem;
using namespace pravelo::platform;
using namespace pravelo::platform::libreoffice;
using Clock = std::chrono::steady_clock;

namespace {

using pravelo::bench::readFile;
using pravelo::bench::writeFile;
using pravelo::bench::writeMacroProfile;

constexpr int Every = 100;

long statusKb(pid_t pid, const char* field) {
    const std::string status = readFile("/proc/" + std::to_string(pid) + "/status");
    const auto at = status.find(field);
    return at == std::string::npos ? 0 : std::atol(status.c_str() + at + std::string(field).size());
}

std::size_t entries(const fs::path& folder, const std::string& prefix = "") {
    std::error_code ec;
    std::size_t count = 0;
    for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::end(it); it.increment(ec))
        if (it->path().filename().string().starts_with(prefix)) ++count;
    return count;
}

std::size_t ourProcesses() {
    std::vector<pid_t> todo{::getpid()};
    std::size_t count = 0;
    while (!todo.empty()) {
        const std::string pid = std::to_string(todo.back());
        todo.pop_back();
        std::istringstream children(readFile("/proc/" + pid + "/task/" + pid + "/children"));
        for (pid_t child; children >> child; ++count) todo.push_back(child);
    }
    return count;
}

// One small Word 97 document, made by the office from plain text.
bool makeDocument(const fs::path& root, const fs::path& soffice, const std::string& version) {
    const fs::path converter = root / "converter";
    fs::create_directories(converter / "user");
    writeFile(converter / "user" / "registrymodifications.xcu", seededRegistry(version));
    writeFile(root / "lille.txt", "Et lille dokument med æøå.\n");
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        ::execl(soffice.c_str(), soffice.c_str(), "--headless", "--norestore",
                ("-env:UserInstallation=" + fileUrl(converter)).c_str(), "--convert-to", "doc",
                "--outdir", root.c_str(), (root / "lille.txt").c_str(), nullptr);
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return fs::exists(root / "lille.doc");
}

struct Sample {
    double secondsPerDocument = 0;
    long rssKb = 0;
    std::size_t descriptors = 0;
};

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    char pattern[] = "/tmp/pravelo-soak-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return 1;
    const fs::path root = pattern;
    const fs::path soffice = PRAVELO_LO_PROGRAM_DIR "/soffice";
    int exitCode = 0;
    try {
        if (!makeDocument(root, soffice, installedProductVersion(PRAVELO_LO_PROGRAM_DIR)))
            throw Error(1, "the office made no document to work on");
        LibreOfficeOptions options = LibreOfficeOptions::defaults();
        options.userProfile = root / "profil" / "user";
        options.tempFolder = root / "privat";
        writeMacroProfile(options.userProfile);
        fs::create_directories(options.tempFolder);
        const fs::path work = root / "dokumenter";
        fs::create_directories(work);

        ForkLauncher engine(options);
        if (!engine.ready()) throw Error(1, engine.startFailure());
        const pid_t host = engine.host()->pid();
        const fs::path hostFds = "/proc/" + std::to_string(host) + "/fd";
        std::printf("%d documents, fork engine, profile view %s, host start %.2f s\n", count,
                    engine.host()->view().c_str(),
                    static_cast<double>(engine.host()->startCost().count()) / 1000);
        std::printf("%8s %8s %8s %6s %6s %8s %6s %9s %7s\n", "docs", "s/doc", "RSS MB", "fds",
                    "procs", "failures", "temp", "profiles", "locks");
        std::vector<Sample> samples;
        int failures = 0;
        auto lap = Clock::now();
        for (int i = 1; i <= count; ++i) {
            const fs::path document = work / ("dokument " + std::to_string(i % Every) + ".doc");
            fs::copy_file(root / "lille.doc", document, fs::copy_options::overwrite_existing);
            try {
                auto app = engine.startNew();
                app->setVisible(false);
                app->setScreenUpdating(false);
                app->options().setCheckSpellingAsYouType(false);
                app->options().setCheckGrammarAsYouType(false);
                app->documents().open(document.string());
                app->run("InsertText");
                app->activeDocument()->close(OfficeDocument::SaveChanges);
                app->quit();
            } catch (const Error& e) {
                ++failures;
                std::fprintf(stderr, "%d: %s\n", i, e.description().c_str());
            }
            if (i % Every != 0 && i != count) continue;
            const int done = i % Every == 0 ? Every : i % Every;
            const Sample sample{std::chrono::duration<double>(Clock::now() - lap).count() / done,
                                statusKb(host, "VmRSS:"), entries(hostFds)};
            samples.push_back(sample);
            std::printf("%8d %8.3f %8.1f %6zu %6zu %8d %6zu %9zu %7zu\n", i,
                        sample.secondsPerDocument, static_cast<double>(sample.rssKb) / 1024,
                        sample.descriptors, ourProcesses(), failures, entries(options.tempFolder),
                        entries(options.tempFolder, "pravelo-office-"), entries(work, ".~lock."));
            std::fflush(stdout);
            lap = Clock::now();
        }
        const Sample& first = samples.front();
        const Sample& last = samples.back();
        std::printf(
            "growth, first %d to last %d documents: %+.3f s/doc (%+.0f%%), RSS %+.1f MB, "
            "fds %+ld\n",
            Every, Every, last.secondsPerDocument - first.secondsPerDocument,
            100 * (last.secondsPerDocument / first.secondsPerDocument - 1),
            static_cast<double>(last.rssKb - first.rssKb) / 1024,
            static_cast<long>(last.descriptors) - static_cast<long>(first.descriptors));
    } catch (const Error& e) {
        std::fprintf(stderr, "failed: %s\n", e.description().c_str());
        exitCode = 1;
    }
    std::printf("left after the engine ended: %zu processes, %zu entries in the private folder\n",
                ourProcesses(), entries(root / "privat"));
    std::fflush(stdout);
    std::error_code ignored;
    fs::remove_all(root, ignored);
    return exitCode;
}
