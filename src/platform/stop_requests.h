#pragma once

namespace pravelo::platform {

// Whether someone outside asked the program to stop (Ctrl+C, a service manager):
// work in hand is finished, nothing new is started.
class StopRequests {
  public:
    virtual ~StopRequests() = default;
    virtual bool stopRequested() const = 0;
};

}  // namespace pravelo::platform
