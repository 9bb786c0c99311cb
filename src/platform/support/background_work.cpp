#include "platform/support/background_work.h"

namespace pravelo::platform {

BackgroundWork::BackgroundWork(std::function<void()> work, std::function<void()> onDone)
    : thread_([this, work = std::move(work), onDone = std::move(onDone)] {
          try {
              work();
          } catch (...) {
              failure_ = std::current_exception();
          }
          done_ = true;
          onDone();
      }) {}

BackgroundWork::~BackgroundWork() {
    if (thread_.joinable()) thread_.join();
}

void BackgroundWork::join() {
    if (thread_.joinable()) thread_.join();
}

void BackgroundWork::rethrowFailure() const {
    if (failure_) std::rethrow_exception(failure_);
}

}  // namespace pravelo::platform
