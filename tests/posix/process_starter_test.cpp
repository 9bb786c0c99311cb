#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/error.h"
#include "platform/posix/posix_process_starter.h"
#include "temp_folder.h"

namespace pravelo::platform::posix {
namespace {

using namespace std::chrono_literals;
using testing::readBytes;
using testing::TempFolder;
using testing::writeScript;

// A stand-in program that reports its arguments, session and standard input,
// then lingers like an editor the user keeps open.
std::string reportingScript(const std::string& report) {
    return "{ echo \"$#\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done\n"
           "  read -r pid comm state ppid pgrp sid rest < /proc/$$/stat; echo \"$sid\"\n"
           "  readlink /proc/$$/fd/0; } > '" +
           report +
           ".tmp'\n"
           "mv '" +
           report + ".tmp' '" + report +
           "'\n"
           "exec sleep 3\n";
}

std::vector<std::string> awaitReport(const std::string& report) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (::access(report.c_str(), F_OK) != 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    std::vector<std::string> lines;
    std::istringstream in(readBytes(report));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool noChildLeft() {
    return ::waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
}

class ProcessStarterTest : public ::testing::Test {
  protected:
    PosixProcessStarter::Options options(std::vector<std::string> editors, bool display = true) {
        PosixProcessStarter::Options result;
        result.editors = std::move(editors);
        result.lookup = [this](const std::string& name) { return findOnPath(name, folder.path()); };
        result.hasDisplay = [display] { return display; };
        return result;
    }

    TempFolder folder;
    std::string report = folder / "report";
};

TEST_F(ProcessStarterTest, EditorGetsThePathAsOneArgumentAndRunsDetached) {
    writeScript(folder / "fake-editor", reportingScript(report));
    PosixProcessStarter starter(options({"missing-editor", "fake-editor"}));
    const std::string path = folder / "Mine filer/Pravelo æøå.log";  // need not exist

    const auto start = std::chrono::steady_clock::now();
    starter.startTextEditor(path);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_TRUE(noChildLeft());

    const auto lines = awaitReport(report);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "1");
    EXPECT_EQ(lines[1], path);
    EXPECT_NE(lines[2], std::to_string(::getsid(0)));
    EXPECT_EQ(lines[3], "/dev/null");
}

TEST_F(ProcessStarterTest, PathThatLooksLikeAnOptionIsNotTakenAsOne) {
    writeScript(folder / "fake-editor", reportingScript(report));
    PosixProcessStarter(options({"fake-editor"})).startTextEditor("-n.log");
    const auto lines = awaitReport(report);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[1], "./-n.log");
}

TEST_F(ProcessStarterTest, EditorFailuresAreReported) {
    try {
        PosixProcessStarter(options({"missing-editor"})).startTextEditor("a.log");
        FAIL() << "no Error thrown";
    } catch (const Error& e) {
        EXPECT_EQ(e.description().rfind("Ingen grafisk teksteditor fundet", 0), 0u);
    }

    writeScript(folder / "fake-editor", reportingScript(report));
    EXPECT_THROW(PosixProcessStarter(options({"fake-editor"}, false)).startTextEditor("a.log"),
                 Error);

    testing::writeBytes(folder / "broken-editor", "#!/nonexistent/interpreter\n");
    ::chmod((folder / "broken-editor").c_str(), 0755);
    EXPECT_THROW(PosixProcessStarter(options({"broken-editor"})).startTextEditor("a.log"), Error);
    EXPECT_TRUE(noChildLeft());
    // With a working editor after it, the broken one gives way.
    PosixProcessStarter(options({"broken-editor", "fake-editor"})).startTextEditor("a.log");
    EXPECT_EQ(awaitReport(report).at(1), "a.log");
}

TEST_F(ProcessStarterTest, ProgramStartsWithoutArgumentsOrFailsVisibly) {
    PosixProcessStarter starter(options({}));
    const std::string program = folder / "system info";
    writeScript(program, reportingScript(report));
    starter.startProgram(program);
    EXPECT_EQ(awaitReport(report).at(0), "0");

    try {
        starter.startProgram(folder / "MSINFO32.EXE");
        FAIL() << "no Error thrown";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errnum::FileNotFound);
    }
    testing::writeBytes(folder / "plain.txt", "not a program");
    for (const std::string& bad :
         {folder.path(), std::string(), std::string("no-such-program"), folder / "plain.txt"}) {
        EXPECT_THROW(starter.startProgram(bad), Error) << bad;
    }
    EXPECT_TRUE(noChildLeft());
}

}  // namespace
}  // namespace pravelo::platform::posix
