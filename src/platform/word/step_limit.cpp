#include "platform/word/step_limit.h"

namespace pravelo::platform::word {

StepLimit::StepLimit(std::chrono::milliseconds limit, std::function<void()> onExpiry)
    : limit_(limit), onExpiry_(std::move(onExpiry)), watcher_([this] { watch(); }) {}

StepLimit::~StepLimit() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    watcher_.join();
}

void StepLimit::arm() {
    {
        std::lock_guard lock(mutex_);
        armed_ = true;
        expired_ = false;
        deadline_ = std::chrono::steady_clock::now() + limit_;
    }
    changed_.notify_all();
}

bool StepLimit::disarm() {
    std::lock_guard lock(mutex_);
    armed_ = false;
    return expired_;
}

void StepLimit::watch() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (!armed_) {
            changed_.wait(lock);
            continue;
        }
        if (changed_.wait_until(lock, deadline_) == std::cv_status::timeout && armed_ &&
            std::chrono::steady_clock::now() >= deadline_) {
            expired_ = true;
            armed_ = false;
            lock.unlock();
            onExpiry_();
            lock.lock();
        }
    }
}

}  // namespace pravelo::platform::word
