#pragma once

#include "platform/stop_requests.h"

namespace pravelo::platform::win32 {

// Ctrl+C, Ctrl+Break and closing the console become a stop request instead of
// ending the process. Windows ends a process whose console is closed once its
// handler returns, so that handler waits (as long as Windows allows, about
// five seconds) for this object to go, i.e. for the documents in hand.
// One at a time.
class ConsoleStop : public StopRequests {
  public:
    ConsoleStop();
    ~ConsoleStop() override;
    ConsoleStop(const ConsoleStop&) = delete;
    ConsoleStop& operator=(const ConsoleStop&) = delete;

    bool stopRequested() const override;
};

}  // namespace pravelo::platform::win32
