#include "platform/posix/stop_signals.h"

namespace pravelo::platform::posix {

StopSignals::StopSignals() {
    sigemptyset(&signals_);
    sigaddset(&signals_, SIGINT);
    sigaddset(&signals_, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals_, &previous_);
    thread_ = std::thread([this] { wait(); });
}

StopSignals::~StopSignals() {
    closing_ = true;
    pthread_kill(thread_.native_handle(), SIGTERM);
    thread_.join();
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

void StopSignals::wait() {
    while (!closing_) {
        int signal = 0;
        if (sigwait(&signals_, &signal) != 0) continue;
        if (!closing_) requested_ = true;
    }
}

}  // namespace pravelo::platform::posix
