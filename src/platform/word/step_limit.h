#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace pravelo::platform::word {

// Gives each blocking call a time limit. A call into a hung Word never returns
// by itself, so at the limit the expiry action ends that Word, which makes the
// call return with an error.
class StepLimit {
  public:
    StepLimit(std::chrono::milliseconds limit, std::function<void()> onExpiry);
    ~StepLimit();
    StepLimit(const StepLimit&) = delete;
    StepLimit& operator=(const StepLimit&) = delete;

    void arm();
    // True when the limit ran out since arm().
    bool disarm();
    std::chrono::milliseconds limit() const { return limit_; }

  private:
    void watch();

    std::chrono::milliseconds limit_;
    std::function<void()> onExpiry_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool armed_ = false;
    bool expired_ = false;
    bool stopping_ = false;
    std::chrono::steady_clock::time_point deadline_;
    std::thread watcher_;
};

}  // namespace pravelo::platform::word
