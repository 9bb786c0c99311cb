#pragma once

#include <atomic>
#include <exception>
#include <functional>
#include <thread>

namespace pravelo::platform {

// Work on a thread of its own while the window's thread keeps its loop going.
// onDone runs on the work's thread when the work has ended, to wake that loop.
class BackgroundWork {
  public:
    BackgroundWork(std::function<void()> work, std::function<void()> onDone);
    ~BackgroundWork();
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;

    bool done() const { return done_; }
    void join();
    // After join(): whatever the work threw, thrown here.
    void rethrowFailure() const;

  private:
    std::atomic<bool> done_ = false;
    std::exception_ptr failure_;
    std::thread thread_;
};

}  // namespace pravelo::platform
