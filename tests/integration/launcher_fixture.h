#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <optional>
#include <sstream>
#include <vector>

#include "office_fixture.h"
#include "platform/error.h"
#include "platform/libreoffice/fork/fork_launcher.h"
#include "platform/libreoffice/fork/office_host.h"
#include "platform/libreoffice/uno/libreoffice_launcher.h"

namespace pravelo::testing {

namespace fs = std::filesystem;
using platform::Error;
using platform::OfficeApplication;
using platform::OfficeDocument;
using platform::OfficeLauncher;
using platform::libreoffice::ForkLauncher;
using platform::libreoffice::LibreOfficeLauncher;
using platform::libreoffice::LibreOfficeOptions;

// Either launcher, by the name of its engine: "uno", or "fork" with the
// profile view after a dash ("fork-copy"). Notes each office host it started.
class AnyLauncher : public OfficeLauncher {
  public:
    AnyLauncher(const std::string& engine, const LibreOfficeOptions& options,
                std::vector<pid_t>& hosts)
        : hosts_(hosts) {
        if (engine == "uno") {
            uno_ = std::make_unique<LibreOfficeLauncher>(options);
        } else {
            const auto dash = engine.find('-');
            fork_ = std::make_unique<ForkLauncher>(
                options, dash == std::string::npos ? "auto" : engine.substr(dash + 1));
        }
    }
    std::unique_ptr<OfficeApplication> startNew() override {
        auto app = uno_ ? uno_->startNew() : fork_->startNew();
        noteHost();
        return app;
    }
    std::string checkMacro(const std::string& name) override {
        auto answer = uno_ ? uno_->checkMacro(name) : fork_->checkMacro(name);
        noteHost();
        return answer;
    }
    ForkLauncher* fork() const { return fork_.get(); }

  private:
    void noteHost() {
        if (fork_ && fork_->host() != nullptr) hosts_.push_back(fork_->host()->pid());
    }

    std::unique_ptr<LibreOfficeLauncher> uno_;
    std::unique_ptr<ForkLauncher> fork_;
    std::vector<pid_t>& hosts_;
};

inline std::string standardModule(const fs::path& other) {
    return "Sub InsertText\n"
           "    ThisComponent.getText().getStart().setString(\"PRAVELO-EDITED \")\n"
           "End Sub\n"
           "\n"
           "Sub DivideByZero\n"
           "    Dim a As Integer, b As Integer\n"
           "    b = 0\n"
           "    a = 1 / b\n"
           "End Sub\n"
           "\n"
           "Sub LoopForever\n"
           "    Dim n As Long\n"
           "    Do\n"
           "        n = n + 1\n"
           "    Loop\n"
           "End Sub\n"
           "\n"
           "Sub EndsEarly\n"
           "    ThisComponent.getText().getStart().setString(\"ENDED \")\n"
           "    End\n"
           "End Sub\n"
           "\n"
           "Sub Twice\n"
           "End Sub\n"
           "\n"
           "Sub EditThenFail\n"
           "    ThisComponent.getText().getStart().setString(\"HALF \")\n"
           "    Error 1004\n"
           "End Sub\n"
           "\n"
           "Sub OpenAnother\n"
           "    Dim doc As Object\n"
           "    doc = StarDesktop.loadComponentFromURL(ConvertToURL(\"" +
           other.string() +
           "\"), \"_blank\", 0, Array())\n"
           "    doc.getText().getStart().setString(\"OTHER-EDITED \")\n"
           "    doc.getCurrentController().getFrame().activate()\n"
           "End Sub\n";
}

// A user profile, a work folder with blanks and æøå, and a launcher confined to
// both; once for each engine.
class LauncherTest : public ::testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        work = root.path() / "mine dokumenter æøå";
        fs::create_directories(work);
        other = work / "anden fil ø.doc";
        fs::copy_file(wordFixtures() / "second.doc", other);
        document = work / "første brev.doc";
        fs::copy_file(wordFixtures() / "first.doc", document);

        writeUserProfile(
            userProfile(),
            {
                {"Standard",
                 {{"Module1", standardModule(other)}, {"Module2", "Sub Twice\nEnd Sub\n"}}},
                {"Extra",
                 {{"Tools2",
                   "Sub InsertText\n"
                   "    ThisComponent.getText().getStart().setString(\"EXTRA \")\n"
                   "End Sub\n"
                   "Sub OnlyExtra\n"
                   "    ThisComponent.getText().getStart().setString(\"ONLY \")\n"
                   "End Sub\n"}}},
            });
        profileBefore = folderDigest(userProfile());
    }

    void TearDown() override {
        EXPECT_TRUE(processesMentioning(privateFolder().string()).empty())
            << "an office of this test is still running";
        for (const pid_t host : hosts) {
            EXPECT_TRUE(::kill(host, 0) != 0 && errno == ESRCH)
                << "the office host " << host << " is still running";
        }
        EXPECT_TRUE(fs::is_empty(privateFolder())) << "a private profile was left behind";
        EXPECT_EQ(profileBefore, folderDigest(userProfile())) << "the user profile was changed";
        const std::string ourPipes = "OSL_PIPE_" + std::to_string(::getuid()) + "_pravelo_" +
                                     std::to_string(::getpid()) + "_";
        for (const auto& entry : fs::directory_iterator("/tmp")) {
            EXPECT_FALSE(entry.path().filename().string().starts_with(ourPipes))
                << "left behind: " << entry.path();
        }
        for (const auto& entry : fs::directory_iterator(work)) {
            EXPECT_FALSE(entry.path().filename().string().starts_with(".~"))
                << "left behind: " << entry.path();
        }
    }

    // The hidden offices that run: for the fork engine, its host's forks.
    std::vector<pid_t> runningOffices(const AnyLauncher& office) const {
        if (office.fork() == nullptr || office.fork()->host() == nullptr)
            return processesMentioning(privateFolder().string());
        const auto host = std::to_string(office.fork()->host()->pid());
        std::istringstream children(readBytes("/proc/" + host + "/task/" + host + "/children"));
        std::vector<pid_t> forks;
        for (pid_t pid; children >> pid;) forks.push_back(pid);
        return forks;
    }

    // What a process may do: its capability sets, and whether an exec may add any.
    static std::string capabilityLines(pid_t pid) {
        std::istringstream status(readBytes("/proc/" + std::to_string(pid) + "/status"));
        std::string lines;
        for (std::string line; std::getline(status, line);)
            if (line.starts_with("Cap") || line.starts_with("NoNewPrivs")) lines += line + "\n";
        return lines;
    }

    fs::path userProfile() const { return root.path() / "profile" / "user"; }
    fs::path privateFolder() const {
        fs::create_directories(root.path() / "private");
        return root.path() / "private";
    }

    LibreOfficeOptions options(std::chrono::milliseconds limit = std::chrono::seconds(60)) {
        LibreOfficeOptions options = LibreOfficeOptions::defaults();
        options.userProfile = userProfile();
        options.tempFolder = privateFolder();
        options.timeLimit = limit;
        return options;
    }

    AnyLauncher launcher(const LibreOfficeOptions& options) {
        return AnyLauncher(GetParam(), options, hosts);
    }
    AnyLauncher launcher(std::chrono::milliseconds limit = std::chrono::seconds(60)) {
        return launcher(options(limit));
    }

    // The worker's order of steps; returns the error a step threw, if any.
    std::optional<Error> edit(OfficeLauncher& office, const fs::path& path,
                              const std::string& macro) {
        std::unique_ptr<OfficeApplication> app;
        try {
            app = office.startNew();
            app->setVisible(false);
            app->setScreenUpdating(false);
            app->options().setCheckSpellingAsYouType(false);
            app->options().setCheckGrammarAsYouType(false);
            auto opened = app->documents().open(path.string());
            app->run(macro);
            app->activeDocument()->close(OfficeDocument::SaveChanges);
            app->quit();
            return std::nullopt;
        } catch (const Error& e) {
            if (app) app->quit();
            return e;
        }
    }

    TempFolder root;
    fs::path work;
    fs::path document;
    fs::path other;
    std::string profileBefore;
    std::vector<pid_t> hosts;
};

}  // namespace pravelo::testing
