// Edits small Word documents the way the worker does, through the UNO launcher
// and through the fork engine, and prints the cost per document beside two
// yardsticks: a bare office started on a seeded profile, connected, one
// document loaded and stored, terminated; and a bare "soffice --convert-to"
// per file.

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>
#include <vector>

#include "bare_office_cycle.h"
#include "bench_files.h"
#include "platform/error.h"
#include "platform/libreoffice/fork/fork_launcher.h"
#include "platform/libreoffice/fork/office_host.h"
#include "platform/libreoffice/private_profile.h"
#include "platform/libreoffice/uno/libreoffice_launcher.h"

namespace fs = std::filesystem;
using namespace pravelo::platform;
using namespace pravelo::platform::libreoffice;
using Clock = std::chrono::steady_clock;

namespace {

using pravelo::bench::readFile;
using pravelo::bench::writeFile;
using pravelo::bench::writeMacroProfile;

constexpr int kDocuments = 10;

void run(const std::vector<std::string>& args) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
}

// Highest VmHWM, and highest private memory, of the processes a test picks
// (by name and command line, or by program).
class PeakMemory {
  public:
    using Pick = std::function<bool(const fs::path& proc, const std::string& status)>;
    explicit PeakMemory(Pick pick) : pick_(std::move(pick)), thread_([this] { poll(); }) {}
    ~PeakMemory() {
        stop_ = true;
        thread_.join();
    }
    long peakKb() const { return peak_; }
    long privateKb() const { return private_; }

  private:
    static long field(const std::string& text, const char* name) {
        const auto at = text.find(name);
        return at == std::string::npos ? 0 : std::stol(text.substr(at + std::strlen(name)));
    }

    void poll() {
        while (!stop_) {
            std::error_code ec;
            for (const auto& entry : fs::directory_iterator("/proc", ec)) {
                const auto status = readFile(entry.path() / "status");
                if (status.empty() || !pick_(entry.path(), status)) continue;
                peak_ = std::max<long>(peak_, field(status, "VmHWM:"));
                const auto rollup = readFile(entry.path() / "smaps_rollup");
                private_ = std::max<long>(
                    private_, field(rollup, "Private_Clean:") + field(rollup, "Private_Dirty:"));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    Pick pick_;
    std::atomic<bool> stop_{false};
    std::atomic<long> peak_{0};
    std::atomic<long> private_{0};
    std::thread thread_;
};

PeakMemory::Pick officeOn(std::string marker) {
    return [marker](const fs::path& proc, const std::string& status) {
        return status.rfind("Name:\tsoffice.bin", 0) == 0 &&
               readFile(proc / "cmdline").find(marker) != std::string::npos;
    };
}

PeakMemory::Pick program(std::string name, bool forks) {
    return [name, forks](const fs::path& proc, const std::string& status) {
        std::error_code ec;
        if (fs::read_symlink(proc / "exe", ec).filename() != name) return false;
        // A fork's parent is the host; the host's is not.
        const auto ppid = std::to_string(std::atoi(status.c_str() + status.find("PPid:") + 5));
        std::error_code parentEc;
        const bool childOfHost =
            fs::read_symlink("/proc/" + ppid + "/exe", parentEc).filename() == name;
        return childOfHost == forks;
    };
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const auto n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main() {
    char pattern[] = "/tmp/pravelo-bench-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return 1;
    const fs::path root = pattern;
    const fs::path soffice = PRAVELO_LO_PROGRAM_DIR "/soffice";
    const std::string version = installedProductVersion(PRAVELO_LO_PROGRAM_DIR);
    int exitCode = 0;
    try {
        // Documents, converted by the office from plain text.
        const fs::path source = root / "source";
        const fs::path converter = root / "converter";
        fs::create_directories(source);
        fs::create_directories(converter / "user");
        writeFile(converter / "user" / "registrymodifications.xcu", seededRegistry(version));
        std::vector<std::string> makeDocuments{
            soffice.string(), "--headless",
            "--norestore",    "-env:UserInstallation=" + fileUrl(converter),
            "--convert-to",   "doc",
            "--outdir",       source.string()};
        for (int i = 0; i < kDocuments; ++i) {
            const auto txt = source / ("dokument " + std::to_string(i) + ".txt");
            writeFile(txt, "Lille dokument nummer " + std::to_string(i) + " med æøå.\n");
            makeDocuments.push_back(txt.string());
        }
        run(makeDocuments);

        const fs::path user = root / "user-profile" / "user";
        writeMacroProfile(user);
        LibreOfficeOptions options = LibreOfficeOptions::defaults();
        options.userProfile = user;
        options.tempFolder = root / "private";
        fs::create_directories(options.tempFolder);
        LibreOfficeLauncher launcher(options);
        // The floor's profile is seeded once and warmed by a first start.
        PrivateProfile floorProfile(root, user, version);
        PrivateProfile convertProfile(root, user, version);
        const fs::path work = root / "work";
        const fs::path converted = root / "converted";
        fs::create_directories(work);
        fs::create_directories(converted);
        bareOfficeCycle(soffice, floorProfile.root(), (source / "dokument 0.doc").string());
        const auto convertOne = [&](const fs::path& document) {
            run({soffice.string(), "--headless", "--norestore",
                 "-env:UserInstallation=" + fileUrl(convertProfile.root()), "--convert-to", "doc",
                 "--outdir", converted.string(), document.string()});
        };
        convertOne(source / "dokument 0.doc");

        PeakMemory unoMemory(officeOn(options.tempFolder.string()));
        PeakMemory floorMemory(officeOn(floorProfile.root().string()));
        PeakMemory convertMemory(officeOn(convertProfile.root().string()));
        PeakMemory hostMemory(program("pravelo-office-host", false));
        PeakMemory forkMemory(program("pravelo-office-host", true));

        ForkLauncher forks(options);
        auto start = Clock::now();
        const bool forkReady = forks.ready();
        const double hostStart = msSince(start);
        if (!forkReady) std::fprintf(stderr, "fork engine: %s\n", forks.startFailure().c_str());

        // The worker's steps; phase times go to phases when given.
        const auto edit = [&](OfficeLauncher& office, const fs::path& document,
                              std::vector<double>* phases) {
            auto step = Clock::now();
            const auto lap = [&](int phase) {
                if (phases != nullptr) phases[phase].push_back(msSince(step));
                step = Clock::now();
            };
            auto app = office.startNew();
            app->setVisible(false);
            app->setScreenUpdating(false);
            app->options().setCheckSpellingAsYouType(false);
            app->options().setCheckGrammarAsYouType(false);
            lap(0);
            auto opened = app->documents().open(document.string());
            lap(1);
            app->run("InsertText");
            lap(2);
            app->activeDocument()->close(OfficeDocument::SaveChanges);
            lap(3);
            app->quit();
            lap(4);
        };

        std::vector<double> uno, fork, floor, convert, unoPhases[5], forkPhases[5], aheadPhases[5];
        // Round-robin, so a busy moment of the machine falls on all alike.
        for (int i = 0; i < kDocuments; ++i) {
            const auto name = "dokument " + std::to_string(i) + ".doc";
            const auto fresh = [&] {
                fs::copy_file(source / name, work / name, fs::copy_options::overwrite_existing);
                return work / name;
            };
            const auto document = fresh();
            start = Clock::now();
            bareOfficeCycle(soffice, floorProfile.root(), document.string());
            floor.push_back(msSince(start));

            start = Clock::now();
            convertOne(fresh());
            convert.push_back(msSince(start));

            fresh();
            start = Clock::now();
            edit(launcher, document, unoPhases);
            uno.push_back(msSince(start));

            if (forkReady) {
                fresh();
                start = Clock::now();
                edit(forks, document, forkPhases);
                fork.push_back(msSince(start));
            }
        }
        // The window's order: one document after another, the next fork made
        // ahead while the current one works.
        double backToBack = 0;
        if (forkReady) {
            for (int i = 0; i < kDocuments; ++i) {
                const auto name = "dokument " + std::to_string(i) + ".doc";
                fs::copy_file(source / name, work / name, fs::copy_options::overwrite_existing);
            }
            start = Clock::now();
            for (int i = 0; i < kDocuments; ++i)
                edit(forks, work / ("dokument " + std::to_string(i) + ".doc"), aheadPhases);
            backToBack = msSince(start) / 1000 / kDocuments;
        }
        const auto phaseLine = [](const char* label, std::vector<double>* phases) {
            std::printf(
                "  %-24s start %.0f, open %.0f, macro %.0f, save+close %.0f, quit %.0f ms\n", label,
                median(phases[0]), median(phases[1]), median(phases[2]), median(phases[3]),
                median(phases[4]));
        };
        const double u = median(uno) / 1000, f = median(floor) / 1000, c = median(convert) / 1000;
        std::printf("documents:                   %d small .doc files, same run, round-robin\n",
                    kDocuments);
        std::printf("s/document (median):\n");
        std::printf("  UNO launcher               %.3f\n", u);
        if (forkReady) {
            const double k = median(fork) / 1000;
            double total = hostStart;
            for (const double ms : fork) total += ms;
            const double amortised = total / 1000 / static_cast<double>(fork.size());
            std::printf("  fork engine                %.3f (goal <= 0.15)\n", k);
            std::printf("  fork engine, back to back  %.3f (goal <= 0.18)\n", backToBack);
            std::printf("  fork engine, host start    %.3f (host start %.2f s over %d documents)\n",
                        amortised, hostStart / 1000, kDocuments);
            std::printf("  bare office cycle (UNO)    %.3f\n", f);
            std::printf("  soffice --convert-to       %.3f\n", c);
            std::printf("ratios:\n");
            std::printf("  fork / UNO launcher        %.2f\n", k / u);
            std::printf("  fork / convert-to          %.2f (goal <= 0.5)\n", k / c);
            std::printf("  fork+host / convert-to     %.2f\n", amortised / c);
            std::printf("  UNO launcher / convert-to  %.2f\n", u / c);
            std::printf("  UNO launcher / bare cycle  %.2f\n", u / f);
            std::printf("host start: %.2f s wall (host's own count %lld ms), profile view: %s\n",
                        hostStart / 1000, static_cast<long long>(forks.host()->startCost().count()),
                        forks.host()->view().c_str());
        } else {
            std::printf("  bare office cycle (UNO)    %.3f\n", f);
            std::printf("  soffice --convert-to       %.3f\n", c);
        }
        std::printf("phases (median):\n");
        phaseLine("UNO launcher", unoPhases);
        if (forkReady) phaseLine("fork engine", forkPhases);
        if (forkReady) phaseLine("fork, back to back", aheadPhases);
        std::printf("peak memory (MB):\n");
        std::printf("  UNO launcher soffice.bin   RSS %ld\n", unoMemory.peakKb() / 1024);
        std::printf("  fork host                  RSS %ld, private %ld\n",
                    hostMemory.peakKb() / 1024, hostMemory.privateKb() / 1024);
        std::printf("  fork (one document)        RSS %ld, private %ld\n",
                    forkMemory.peakKb() / 1024, forkMemory.privateKb() / 1024);
        std::printf("  bare cycle soffice.bin     RSS %ld\n", floorMemory.peakKb() / 1024);
        std::printf("  convert-to soffice.bin     RSS %ld\n", convertMemory.peakKb() / 1024);
    } catch (const Error& e) {
        std::fprintf(stderr, "failed: %d %s\n", e.number(), e.what());
        exitCode = 1;
    }
    std::error_code ignored;
    fs::remove_all(root, ignored);
    return exitCode;
}
