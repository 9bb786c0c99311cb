#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/support/watchdog.h"

namespace pravelo::platform::libreoffice {

// The environment for an office: the parent's, with a UTF-8 locale forced when
// the parent runs in a non-UTF-8 one (the office then fails to open paths with
// non-ASCII letters), and its temporary files sent to tempFolder.
std::vector<std::string> officeEnvironment(const std::filesystem::path& tempFolder = {});

// What the guard removes when the office does not end by itself.
struct OfficeLeftovers {
    std::filesystem::path profile{};     // removed in any case
    std::vector<std::string> sockets{};  // removed after a kill
};

// An office started in a process group of its own, under a guard process that
// ends it and removes its leftovers should this program end first, however.
class OfficeProcess {
  public:
    // Throws Error when the program cannot be started.
    OfficeProcess(const std::string& program, const std::vector<std::string>& args,
                  OfficeLeftovers leftovers = {});
    OfficeProcess(const OfficeProcess&) = delete;
    OfficeProcess& operator=(const OfficeProcess&) = delete;
    // Kills what is still running and lets the guard clean up.
    ~OfficeProcess();

    pid_t processGroup() const { return leader_; }
    // False once the first process has ended.
    bool running();
    // The exit status of the first process, when it has ended.
    int exitStatus() const { return status_; }
    // Waits for the whole group to end, up to the grace period; true when it did.
    bool waitForExit(std::chrono::milliseconds grace);
    // Safe from any thread.
    void killGroup() const;
    // Kills the group and waits until it is gone.
    void killAndReap();

    // A lock file the office made, removed by the guard unless the office ends
    // by itself.
    void noteLockFile(const std::string& path) const;
    // A document being rewritten from a safety copy: put back should we die.
    void noteRewrite(const std::string& copy, const std::string& target) const;
    void noteRewriteDone() const;

  private:
    void tell(const std::string& request) const;
    // Reads the guard's answers, waiting at most timeout; false when none came.
    bool listen(std::chrono::milliseconds timeout);

    pid_t guard_ = -1;
    int requests_ = -1;
    int answers_ = -1;
    std::string pending_;
    pid_t leader_ = -1;
    std::string failure_;
    bool exited_ = false;
    bool gone_ = false;
    int status_ = 0;
};

// Removes a folder when this object goes, or when the program ends in any way.
class GuardedFolder {
  public:
    // Throws Error when the guard cannot be started.
    explicit GuardedFolder(const std::filesystem::path& folder);
    GuardedFolder(const GuardedFolder&) = delete;
    GuardedFolder& operator=(const GuardedFolder&) = delete;
    ~GuardedFolder();

  private:
    pid_t guard_ = -1;
    int socket_ = -1;
};

enum class SocketOwner { NotListening, Group, Other };

// Whether the process that listens on the unix socket at this path belongs to
// the given process group.
SocketOwner socketOwner(const std::string& socketPath, pid_t group);

using platform::Watchdog;

// The office's lock file of a document (".~lock.<name>#" beside it).
std::filesystem::path lockFileOf(const std::filesystem::path& document);

}  // namespace pravelo::platform::libreoffice
