#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// Waiting in tests for something to happen: on its condition, never for a
// fixed time. The deadline only bounds a failure.
namespace pravelo::testing {

// Polls the condition until it holds or the deadline passes; whether it held.
template <typename Condition>
bool waitUntil(Condition condition, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// Opened once by one thread, waited for by another.
class Latch {
  public:
    void open() {
        {
            const std::lock_guard lock(mutex_);
            open_ = true;
        }
        opened_.notify_all();
    }
    // Whether it was opened before the deadline.
    bool wait(std::chrono::milliseconds deadline) {
        std::unique_lock lock(mutex_);
        return opened_.wait_for(lock, deadline, [this] { return open_; });
    }
    bool isOpen() {
        const std::lock_guard lock(mutex_);
        return open_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

}  // namespace pravelo::testing
