#include "platform/posix/stop_signals.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace pravelo::platform::posix {
namespace {

using namespace std::chrono_literals;

bool becomes(const StopSignals& stop, std::chrono::milliseconds limit) {
    for (auto waited = 0ms; waited < limit && !stop.stopRequested(); waited += 10ms)
        std::this_thread::sleep_for(10ms);
    return stop.stopRequested();
}

TEST(StopSignalsTest, InterruptAndTerminateAskToStopInsteadOfEndingTheProgram) {
    for (const int signal : {SIGINT, SIGTERM}) {
        StopSignals stop;
        EXPECT_FALSE(stop.stopRequested());
        // A thread started afterwards, as the office workers are, is not interrupted either.
        std::thread worker([] { std::this_thread::sleep_for(50ms); });
        ::kill(::getpid(), signal);
        EXPECT_TRUE(becomes(stop, 2000ms)) << signal;
        worker.join();
    }
    // Gone, it leaves nothing pending and takes nothing that arrives later.
    StopSignals fresh;
    EXPECT_FALSE(becomes(fresh, 100ms));
}

}  // namespace
}  // namespace pravelo::platform::posix
