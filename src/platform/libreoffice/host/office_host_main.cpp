// The office host: one office, started once through the office kit in its
// single-threaded loop and warmed with a document of our own, then forked
// once per document. Each fork is a fresh office on its own view of the
// private profile; the program talks to it on a socket of its own. The next
// fork is made ahead while the program works with the last one.
//
// Standard input is the program's SOCK_SEQPACKET socket. The first message is
//   start ROOT SOFFICE TEMPFOLDER VIEW      (VIEW: auto, overlay, userns or copy)
// answered "ready VIEW MILLISECONDS" or "failed TEXT". Then:
//   fork        "child PID" with the fork's socket, or "failed TEXT"
//   kill PID    ends that fork now (no answer)
//   wait PID    "done PID" once the fork has ended and what it left is removed
// End of input, however the program ended, ends every fork and the host, and
// removes ROOT.

#define LOK_USE_UNSTABLE_API
#include <LibreOfficeKit/LibreOfficeKit.h>
#include <LibreOfficeKit/LibreOfficeKitInit.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <com/sun/star/util/XFlushable.hpp>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/libreoffice/fork/host_protocol.h"
#include "platform/libreoffice/host/host_forks.h"
#include "platform/libreoffice/host/profile_view.h"
#include "platform/libreoffice/private_profile.h"
#include "platform/libreoffice/uno/lo_application.h"
#include "platform/libreoffice/uno/macro_runner.h"
#include "platform/libreoffice/uno/office_session.h"

namespace fs = std::filesystem;
namespace css = com::sun::star;
using namespace pravelo::platform::libreoffice;

namespace {

constexpr int Control = STDIN_FILENO;

std::size_t threadCount() {
    std::size_t count = 0;
    std::error_code ec;
    for (auto it = fs::directory_iterator("/proc/self/task", ec); !ec && it != fs::end(it);
         it.increment(ec))
        ++count;
    return count;
}

// The kit has no call for it, but the whole office is in this process: its
// component context is the one the office itself uses.
css::uno::Reference<css::uno::XComponentContext> officeContext(const fs::path& programDir) {
    using Getter = css::uno::Reference<css::uno::XComponentContext> (*)();
    for (const char* library : {"libmergedlo.so", "libcomphelper.so"}) {
        void* handle =
            ::dlopen((programDir / library).c_str(), RTLD_LAZY | RTLD_NOLOAD | RTLD_LOCAL);
        if (handle == nullptr) continue;
        void* symbol = ::dlsym(handle, "_ZN10comphelper26getProcessComponentContextEv");
        if (symbol != nullptr) return reinterpret_cast<Getter>(symbol)();
    }
    return {};
}

class Host {
  public:
    bool start(const std::vector<std::string>& request);
    int poll(int timeoutUs);
    void wake() {
        const char byte = 1;
        [[maybe_unused]] auto written = ::write(wakeWrite_, &byte, 1);
    }
    bool inFork() const { return forks_ && forks_->inFork(); }
    void run(LibreOfficeKitPollCallback poll, LibreOfficeKitWakeCallback wake) {
        // The office calls us back only with data to pass.
        kit_->pClass->runLoop(kit_, poll, wake, this);
    }

  private:
    void warmUp();
    void handle(const std::vector<std::string>& request);
    void forkOne();
    void handOut(const HostForks::Made& made);
    [[noreturn]] void shutDown();

    fs::path root_;
    fs::path profile_;
    fs::path snapshot_;
    LibreOfficeOptions options_;
    ProfileView view_ = ProfileView::Copy;
    LibreOfficeKit* kit_ = nullptr;
    css::uno::Reference<css::uno::XComponentContext> context_;
    std::chrono::steady_clock::time_point started_;
    bool warm_ = false;
    int pendingForks_ = 0;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::unique_ptr<HostForks> forks_;
};

bool Host::start(const std::vector<std::string>& request) {
    started_ = std::chrono::steady_clock::now();
    if (request.size() < 5 || request[0] != "start") {
        protocol::send(Control, {"failed", "ugyldig start"});
        return false;
    }
    root_ = request[1];
    profile_ = root_ / "user";
    snapshot_ = root_ / "snapshot";
    options_.soffice = request[2];
    options_.tempFolder = request[3];
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    wakeRead_ = pipe[0];
    wakeWrite_ = pipe[1];
    view_ = chooseProfileView(request[4], root_);
    ::setenv("SAL_LOK_OPTIONS", "unipoll", 1);
    ::setenv("TMPDIR", (root_ / "tmp").c_str(), 1);
    const fs::path programDir = options_.soffice.parent_path();
    kit_ = lok_init_2(programDir.c_str(), fileUrl(root_).c_str());
    if (kit_ == nullptr) {
        protocol::send(Control, {"failed", "kontorpakkens kit kan ikke startes"});
        return false;
    }
    context_ = officeContext(programDir);
    if (!context_.is()) {
        protocol::send(Control, {"failed", "kontorpakkens komponenter kan ikke findes"});
        return false;
    }
    return true;
}

// One trusted document through the Word filters, so every fork starts with
// them loaded.
void Host::warmUp() {
    const fs::path rtf = root_ / "tmp" / "opvarmning.rtf";
    const fs::path doc = root_ / "tmp" / "opvarmning.doc";
    std::ofstream(rtf) << "{\\rtf1\\ansi Opvarmning\\par}";
    if (auto* document = kit_->pClass->documentLoad(kit_, fileUrl(rtf).c_str())) {
        document->pClass->saveAs(document, fileUrl(doc).c_str(), "doc", nullptr);
        document->pClass->destroy(document);
    }
    // The rest the way each fork goes: open, macro lookup, close. The lookup
    // reads the macro libraries but runs none of them.
    try {
        fs::create_directories(root_ / "warm" / "tmp");
        auto session =
            std::make_shared<Session>(options_, InProcessOffice{context_, root_ / "warm"});
        LoApplication app(session);
        app.documents()
            .open(doc.string())
            ->close(pravelo::platform::OfficeDocument::DoNotSaveChanges);
        try {
            findMacro(*session, "PraveloOpvarmning");
        } catch (const pravelo::platform::Error&) {
        }
        app.quit();
    } catch (const std::exception&) {
        // Only slower forks.
    }
    removeTree(root_ / "warm");
    std::error_code ignored;
    fs::remove(rtf, ignored);
    fs::remove(doc, ignored);
    // The settings writer waits a second before it writes; asked to write now,
    // it ends at once instead of holding back the first fork.
    try {
        css::uno::Reference<css::util::XFlushable>(
            css::configuration::theDefaultProvider::get(context_), css::uno::UNO_QUERY_THROW)
            ->flush();
    } catch (const css::uno::Exception&) {
    }
    // Forks may only be made with one thread.
    for (int i = 0; i < 300 && threadCount() > 1; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (view_ == ProfileView::Copy) {
        fs::remove_all(snapshot_, ignored);
        fs::copy(profile_, snapshot_, fs::copy_options::recursive, ignored);
    }
    forks_ = std::make_unique<HostForks>(
        HostForks::Setup{root_, profile_, snapshot_, view_, options_, context_});
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - started_)
                        .count();
    protocol::send(Control, {"ready", profileViewName(view_), std::to_string(ms)});
}

int Host::poll(int timeoutUs) {
    if (!warm_) {
        warm_ = true;
        warmUp();
        return 0;
    }
    forks_->reapEnded();
    if (pendingForks_ > 0 && threadCount() == 1) {
        --pendingForks_;
        forkOne();
    }
    if (pendingForks_ == 0 && threadCount() == 1) forks_->keepAhead(Control);
    int timeoutMs = timeoutUs < 0 ? 1000 : std::min(timeoutUs / 1000, 1000);
    if (pendingForks_ > 0) timeoutMs = std::min(timeoutMs, 5);
    if (forks_->aheadPending()) timeoutMs = std::min(timeoutMs, 50);
    pollfd fds[2] = {{Control, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    if (::poll(fds, 2, timeoutMs) <= 0) return 0;
    if (fds[1].revents != 0) {
        char drain[64];
        while (::read(wakeRead_, drain, sizeof drain) > 0) {
        }
    }
    if (fds[0].revents != 0) {
        const auto request = protocol::receive(Control);
        if (!request) shutDown();
        handle(request->fields);
        if (request->descriptor >= 0) ::close(request->descriptor);
    }
    return 0;
}

void Host::handle(const std::vector<std::string>& request) {
    if (request.empty()) return;
    if (request[0] == "fork") {
        if (const auto ahead = forks_->takeAhead()) {
            handOut(*ahead);
        } else if (threadCount() == 1)
            forkOne();
        else
            ++pendingForks_;
    } else if (request[0] == "kill" && request.size() > 1) {
        forks_->kill(std::atoi(request[1].c_str()));
    } else if (request[0] == "wait" && request.size() > 1) {
        forks_->reap(std::atoi(request[1].c_str()));
        protocol::send(Control, {"done", request[1]});
    }
}

void Host::forkOne() {
    const auto made = forks_->make(Control);
    if (!made.failure.empty()) {
        protocol::send(Control, {"failed", made.failure});
        return;
    }
    handOut(made);
}

void Host::handOut(const HostForks::Made& made) {
    protocol::send(Control, {"child", std::to_string(made.pid)}, made.socket);
    ::close(made.socket);
}

void Host::shutDown() {
    if (forks_) forks_->endAll();
    std::error_code ignored;
    fs::remove_all(root_, ignored);
    ::_exit(0);
}

Host host;

int pollCallback(void*, int timeoutUs) {
    // Inside a fork the office waits for itself: nothing of ours to do.
    if (host.inFork()) {
        ::poll(nullptr, 0, timeoutUs < 0 ? 10 : std::min(timeoutUs / 1000, 10));
        return 0;
    }
    return host.poll(timeoutUs);
}

void wakeCallback(void*) {
    host.wake();
}

}  // namespace

int main() {
    // Only the end of our input ends us: it closes however the program ends.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) ::signal(signal, SIG_IGN);
    ::umask(077);
    const auto request = protocol::receive(Control);
    if (!request || !host.start(request->fields)) return 1;
    // The office's loop calls us back to poll; the host ends in there.
    host.run(pollCallback, wakeCallback);
    return 0;
}
