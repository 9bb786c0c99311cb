#pragma once

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <string>

#include "platform/libreoffice/office_options.h"

namespace pravelo::platform::libreoffice {

class PrivateProfile;

// The office host program, seen from the program: started once, warm, and
// asked for a fork per document. It ends when this object goes or the
// program ends in any way (its input closes).
class OfficeHost {
  public:
    // Starts the host and waits until it is warm. Throws Error when it cannot
    // start. view: "auto", "overlay", "userns" or "copy".
    OfficeHost(const LibreOfficeOptions& options, const std::string& productVersion,
               const std::string& view = "auto");
    OfficeHost(const OfficeHost&) = delete;
    OfficeHost& operator=(const OfficeHost&) = delete;
    ~OfficeHost();

    struct Fork {
        pid_t pid = -1;
        int socket = -1;  // owned by the caller
    };
    // A new fork; throws Error when none can be made.
    Fork fork();
    // Ends a fork now. Safe from any thread.
    void kill(pid_t fork) const;
    // Returns once the fork has ended and what it left is removed.
    void waitGone(pid_t fork);
    bool running();

    pid_t pid() const { return pid_; }
    // "overlay", "userns" or "copy": how each fork gets its profile.
    const std::string& view() const { return view_; }
    // From start to warm, as the host measured it.
    std::chrono::milliseconds startCost() const { return startCost_; }

  private:
    void stop();

    std::unique_ptr<PrivateProfile> profile_;
    pid_t pid_ = -1;
    int control_ = -1;
    std::string view_;
    std::chrono::milliseconds startCost_{0};
    std::mutex mutex_;
};

}  // namespace pravelo::platform::libreoffice
