// Edits small Word documents the way the worker does and prints the cost per
// document beside the floor: a bare office started on a seeded profile,
// connected, one document loaded and stored, terminated.

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "bare_office_cycle.h"
#include "platform/error.h"
#include "platform/libreoffice/libreoffice_launcher.h"
#include "platform/libreoffice/private_profile.h"

namespace fs = std::filesystem;
using namespace pravelo::platform;
using namespace pravelo::platform::libreoffice;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kDocuments = 10;

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeMacroProfile(const fs::path& user) {
    const fs::path standard = user / "basic" / "Standard";
    fs::create_directories(standard);
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    writeFile(user / "basic" / "script.xlc",
              head +
                  "<library:libraries xmlns:library=\"http://openoffice.org/2000/library\" "
                  "xmlns:xlink=\"http://www.w3.org/1999/xlink\"><library:library "
                  "library:name=\"Standard\" xlink:href=\"$(USER)/basic/Standard/script.xlb/\" "
                  "xlink:type=\"simple\" library:link=\"false\"/></library:libraries>\n");
    writeFile(standard / "script.xlb",
              head +
                  "<library:library xmlns:library=\"http://openoffice.org/2000/library\" "
                  "library:name=\"Standard\" library:readonly=\"false\" "
                  "library:passwordprotected=\"false\"><library:element "
                  "library:name=\"Module1\"/></library:library>\n");
    writeFile(standard / "Module1.xba",
              head +
                  "<script:module xmlns:script=\"http://openoffice.org/2000/script\" "
                  "script:name=\"Module1\" script:language=\"StarBasic\">Sub InsertText\n"
                  "    ThisComponent.getText().getStart().setString(&quot;EDITED &quot;)\n"
                  "End Sub\n</script:module>\n");
}

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

// Highest VmHWM of any soffice.bin whose command line mentions the folder.
class PeakMemory {
  public:
    explicit PeakMemory(std::string marker)
        : marker_(std::move(marker)), thread_([this] { poll(); }) {}
    ~PeakMemory() {
        stop_ = true;
        thread_.join();
    }
    long peakKb() const { return peak_; }
    void reset() { peak_ = 0; }

  private:
    void poll() {
        while (!stop_) {
            std::error_code ec;
            for (const auto& entry : fs::directory_iterator("/proc", ec)) {
                const auto status = readFile(entry.path() / "status");
                if (status.rfind("Name:\tsoffice.bin", 0) != 0) continue;
                if (readFile(entry.path() / "cmdline").find(marker_) == std::string::npos) continue;
                const auto at = status.find("VmHWM:");
                if (at == std::string::npos) continue;
                const long kb = std::stol(status.substr(at + 6));
                if (kb > peak_) peak_ = kb;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    std::string marker_;
    std::atomic<bool> stop_{false};
    std::atomic<long> peak_{0};
    std::thread thread_;
};

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
        std::vector<std::string> convert{
            soffice.string(), "--headless",
            "--norestore",    "-env:UserInstallation=" + fileUrl(converter),
            "--convert-to",   "doc",
            "--outdir",       source.string()};
        for (int i = 0; i < kDocuments; ++i) {
            const auto txt = source / ("dokument " + std::to_string(i) + ".txt");
            writeFile(txt, "Lille dokument nummer " + std::to_string(i) + " med æøå.\n");
            convert.push_back(txt.string());
        }
        run(convert);

        const fs::path user = root / "user-profile" / "user";
        writeMacroProfile(user);
        LibreOfficeOptions options = LibreOfficeOptions::defaults();
        options.userProfile = user;
        options.tempFolder = root / "private";
        fs::create_directories(options.tempFolder);
        LibreOfficeLauncher launcher(options);
        // The floor's profile is seeded once and warmed by a first start.
        PrivateProfile floorProfile(root, user, version);
        const fs::path work = root / "work";
        fs::create_directories(work);
        bareOfficeCycle(soffice, floorProfile.root(), (source / "dokument 0.doc").string());

        PeakMemory ourMemory(options.tempFolder.string());
        PeakMemory floorMemory(floorProfile.root().string());

        std::vector<double> ours, floor, phases[5];
        for (int i = 0; i < kDocuments; ++i) {
            const auto name = "dokument " + std::to_string(i) + ".doc";
            fs::copy_file(source / name, work / name, fs::copy_options::overwrite_existing);
            auto start = Clock::now();
            bareOfficeCycle(soffice, floorProfile.root(), (work / name).string());
            floor.push_back(msSince(start));

            fs::copy_file(source / name, work / name, fs::copy_options::overwrite_existing);
            start = Clock::now();
            auto step = start;
            auto app = launcher.startNew();
            app->setVisible(false);
            app->setScreenUpdating(false);
            app->options().setCheckSpellingAsYouType(false);
            app->options().setCheckGrammarAsYouType(false);
            phases[0].push_back(msSince(step));
            step = Clock::now();
            auto document = app->documents().open((work / name).string());
            phases[1].push_back(msSince(step));
            step = Clock::now();
            app->run("InsertText");
            phases[2].push_back(msSince(step));
            step = Clock::now();
            app->activeDocument()->close(OfficeDocument::SaveChanges);
            phases[3].push_back(msSince(step));
            step = Clock::now();
            app->quit();
            phases[4].push_back(msSince(step));
            ours.push_back(msSince(start));
        }
        const double m = median(ours), f = median(floor);
        std::printf("documents:                 %d small .doc files\n", kDocuments);
        std::printf("per document (median):     %.0f ms\n", m);
        std::printf("  start %.0f, open %.0f, macro %.0f, save+close %.0f, quit %.0f ms\n",
                    median(phases[0]), median(phases[1]), median(phases[2]), median(phases[3]),
                    median(phases[4]));
        std::printf("floor per document:        %.0f ms (bare office, seeded profile)\n", f);
        std::printf("ratio to floor:            %.2f (goal <= 1.15)\n", m / f);
        std::printf("soffice.bin peak RSS:      %ld MB (floor %ld MB)\n", ourMemory.peakKb() / 1024,
                    floorMemory.peakKb() / 1024);
    } catch (const Error& e) {
        std::fprintf(stderr, "failed: %d %s\n", e.number(), e.what());
        exitCode = 1;
    }
    std::error_code ignored;
    fs::remove_all(root, ignored);
    return exitCode;
}
