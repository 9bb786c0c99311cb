// Start-up figures: process start to main window shown, the start-up sequence
// alone, and filling the file list from a folder of 10,000 files.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/pravelo_app.h"
#include "platform/qt/danish_toolkit_texts.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Child: start like the program does, report when the window is on screen.
int runChild(int argc, char** argv) {
    QApplication application(argc, argv);
    pravelo::app::useClassicStyle();
    pravelo::platform::qt::useDanishToolkitTexts();
    pravelo::app::PraveloApp pravelo;
    const auto loadStart = Clock::now();
    pravelo.window().Form_Load();
    const double loadMs = msSince(loadStart);
    pravelo.form().show();
    while (!pravelo.form().windowHandle() || !pravelo.form().windowHandle()->isExposed()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    QCoreApplication::processEvents();  // first paint
    std::printf("%.3f\n", loadMs);
    std::fflush(stdout);
    return 0;
}

double timeOneStart(const std::string& self, double& loadMs) {
    int out[2];
    if (pipe(out) != 0) std::exit(1);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::string childArg = "--child";
    char* args[] = {const_cast<char*>(self.c_str()), childArg.data(), nullptr};
    const auto start = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, self.c_str(), &actions, nullptr, args, environ) != 0) std::exit(1);
    close(out[1]);
    char buffer[64] = {};
    const ssize_t n = read(out[0], buffer, sizeof buffer - 1);
    const double shownMs = msSince(start);
    close(out[0]);
    waitpid(pid, nullptr, 0);
    posix_spawn_file_actions_destroy(&actions);
    loadMs = n > 0 ? std::atof(buffer) : -1;
    return shownMs;
}

}  // namespace

int main(int argc, char** argv) {
    // Without a display the figures come from the offscreen platform; the
    // children inherit the choice.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    if (argc > 1 && std::string(argv[1]) == "--child") return runChild(argc, argv);

    const int runs = 10;
    const std::string self = fs::read_symlink("/proc/self/exe");
    std::vector<double> shown, load;
    for (int i = 0; i < runs + 1; ++i) {
        double loadMs = 0;
        const double ms = timeOneStart(self, loadMs);
        if (i == 0) continue;  // warms the file cache
        shown.push_back(ms);
        load.push_back(loadMs);
    }
    std::printf(
        "process start to main window shown: median %.1f ms (min %.1f, max %.1f), %d runs\n",
        median(shown), *std::min_element(shown.begin(), shown.end()),
        *std::max_element(shown.begin(), shown.end()), runs);
    std::printf("start-up sequence: median %.2f ms\n", median(load));

    // File list over 10,000 files.
    const fs::path folder =
        fs::temp_directory_path() / ("pravelo-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    for (int i = 0; i < 10000; ++i) {
        std::ofstream(folder / ("dokument " + std::to_string(i) + (i % 2 ? ".doc" : ".txt")));
    }
    QApplication application(argc, argv);
    pravelo::app::PraveloApp pravelo;
    auto& files = pravelo.form().File1();
    std::vector<double> fill;
    for (int i = 0; i < runs; ++i) {
        files.setPattern(i % 2 ? "*.doc" : "*.doc;*.txt");
        const auto start = Clock::now();
        files.setPath(folder.string());
        fill.push_back(msSince(start));
        files.setPath("/");
    }
    std::printf("file list from 10,000 files (5,000 or 10,000 listed): median %.1f ms, %d runs\n",
                median(fill), runs);
    fs::remove_all(folder);
    return 0;
}
