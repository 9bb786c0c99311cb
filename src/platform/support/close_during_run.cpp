#include "platform/support/close_during_run.h"

namespace pravelo::platform {

bool CloseDuringRun::actsDuringRun(Input input) {
    switch (input) {
        case Input::CloseButtonClick:
        case Input::ExitCommand:
        case Input::WindowClose:
        case Input::WindowMove:
            return true;
        case Input::CloseButtonTyped:
        case Input::Other:
            return false;
    }
    return false;
}

void CloseDuringRun::run(const std::function<void()>& work,
                         const std::function<void(const std::function<void()>&)>& wait) {
    if (running_) {
        work();
        return;
    }
    running_ = true;
    try {
        wait(work);
    } catch (...) {
        running_ = false;
        throw;
    }
    running_ = false;
}

bool CloseDuringRun::hold(StatusPanelControl& status) {
    if (!running_) return false;
    closePending_ = true;
    status.setText(HeldText);
    return true;
}

}  // namespace pravelo::platform
