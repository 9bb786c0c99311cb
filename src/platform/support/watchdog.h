#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace pravelo::platform {

// Gives one blocking step a time limit: calls onExpiry from its own thread
// when not destroyed within the limit. A call into a hung office never returns
// by itself; onExpiry ends that office, which makes the call return.
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

// "12 s" or "1500 ms", for texts about the time limit.
std::string limitText(std::chrono::milliseconds limit);

}  // namespace pravelo::platform
