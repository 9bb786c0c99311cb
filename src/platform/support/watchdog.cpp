#include "platform/support/watchdog.h"

namespace pravelo::platform {

Watchdog::Watchdog(std::chrono::milliseconds limit, std::function<void()> onExpiry) {
    thread_ = std::thread([this, limit, onExpiry = std::move(onExpiry)] {
        std::unique_lock lock(mutex_);
        if (!wake_.wait_for(lock, limit, [this] { return done_; })) {
            expired_ = true;
            onExpiry();
        }
    });
}

Watchdog::~Watchdog() {
    {
        std::lock_guard lock(mutex_);
        done_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

std::string limitText(std::chrono::milliseconds limit) {
    const auto ms = limit.count();
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

}  // namespace pravelo::platform
