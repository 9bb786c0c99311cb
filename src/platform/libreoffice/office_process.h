#pragma once

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pravelo::platform::libreoffice {

// The environment for an office: the parent's, with a UTF-8 locale forced when
// the parent runs in a non-UTF-8 one (the office then fails to open paths with
// non-ASCII letters).
std::vector<std::string> officeEnvironment();

// An office started in a process group of its own. The start script hands over
// to a forked soffice.bin, so the group, not the first pid, is what gets killed.
class OfficeProcess {
  public:
    // Throws Error when the program cannot be started.
    OfficeProcess(const std::string& program, const std::vector<std::string>& args);
    OfficeProcess(const OfficeProcess&) = delete;
    OfficeProcess& operator=(const OfficeProcess&) = delete;
    // Kills what is still running.
    ~OfficeProcess();

    pid_t processGroup() const { return pid_; }
    // False once the first process has ended; reaps it.
    bool running();
    // The exit status of the first process, when it has ended.
    int exitStatus() const { return status_; }
    // Waits for the whole group to end, up to the grace period; true when it did.
    bool waitForExit(std::chrono::milliseconds grace);
    // Safe from any thread.
    void killGroup() const;
    // Kills the group and waits until it is gone.
    void killAndReap();

  private:
    bool groupAlive() const;

    pid_t pid_ = -1;
    bool reaped_ = false;
    int status_ = 0;
};

enum class SocketOwner { NotListening, Group, Other };

// Whether the process that listens on the unix socket at this path belongs to
// the given process group.
SocketOwner socketOwner(const std::string& socketPath, pid_t group);

// Starts a program fully detached (own session, not waited for, not killed with
// us). Throws Error when it cannot be executed.
void startDetached(const std::string& program, const std::vector<std::string>& args);

// Calls onExpiry from its own thread when not disarmed within the time limit.
class Watchdog {
  public:
    Watchdog(std::chrono::milliseconds limit, std::function<void()> onExpiry);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
    bool expired() const { return expired_; }

  private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::atomic<bool> expired_{false};
    std::thread thread_;
};

// Removes the office's lock file of a document (".~lock.<name>#" beside it).
void removeLockFile(const std::string& documentPath);

}  // namespace pravelo::platform::libreoffice
