#pragma once

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <thread>

#include "platform/stop_requests.h"

namespace pravelo::platform::posix {

// SIGINT and SIGTERM become a stop request instead of ending the process.
// The signals are blocked and taken by a thread of their own, so no office call
// is ever interrupted by one: create this before any other thread starts, as
// threads inherit the blocked set.
class StopSignals : public StopRequests {
  public:
    StopSignals();
    ~StopSignals() override;
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    bool stopRequested() const override { return requested_; }

  private:
    void wait();

    sigset_t signals_;
    sigset_t previous_;
    std::atomic<bool> requested_{false};
    std::atomic<bool> closing_{false};
    std::thread thread_;
};

}  // namespace pravelo::platform::posix
