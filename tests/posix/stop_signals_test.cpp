#include "platform/posix/stop_signals.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "wait_until.h"

namespace pravelo::platform::posix {
namespace {

using namespace std::chrono_literals;

bool becomes(const StopSignals& stop, std::chrono::milliseconds limit) {
    return pravelo::testing::waitUntil([&] { return stop.stopRequested(); }, limit);
}

TEST(StopSignalsTest, InterruptAndTerminateAskToStopInsteadOfEndingTheProgram) {
    for (const int signal : {SIGINT, SIGTERM}) {
        StopSignals stop;
        EXPECT_FALSE(stop.stopRequested());
        // A thread started afterwards, as the office workers are, is not interrupted either.
        pravelo::testing::Latch done;
        std::thread worker([&] { done.wait(5000ms); });
        ::kill(::getpid(), signal);
        EXPECT_TRUE(becomes(stop, 2000ms)) << signal;
        done.open();
        worker.join();
    }
    // Gone, it leaves nothing pending and takes nothing that arrives later.
    StopSignals fresh;
    EXPECT_FALSE(becomes(fresh, 100ms));
}

}  // namespace
}  // namespace pravelo::platform::posix
