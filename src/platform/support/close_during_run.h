#pragma once

#include <functional>

#include "platform/form_controls.h"

namespace pravelo::platform {

// The window's side of a run that keeps its event loop going (MainForm::waitFor):
// the user's input is dropped, except a request to close, which is held until
// the document in hand is finished; the batch asks closePending() between
// documents. The forms only tell which input arrived.
class CloseDuringRun {
  public:
    // What the user may do to the window during a run.
    enum class Input {
        CloseButtonClick,  // a click on the close button, or its access key
        CloseButtonTyped,  // a key typed while the close button has the focus
        ExitCommand,       // the exit menu entry or its shortcut
        WindowClose,       // the close box, Alt+F4, the system menu
        WindowMove,        // dragging the caption
        Other,
    };

    // The status text while a close is held.
    static constexpr const char* HeldText = "Lukker, når dette dokument er færdigt …";

    // Whether the input reaches the window during a run. A space typed on the
    // close button is no click: the user may be typing without looking.
    static bool actsDuringRun(Input input);

    bool running() const { return running_; }
    bool closePending() const { return closePending_; }

    // Runs work through wait, which keeps the toolkit's loop going; within a
    // run, work runs at once.
    void run(const std::function<void()>& work,
             const std::function<void(const std::function<void()>&)>& wait);

    // A request to close. During a run it is held and shown in status, and true
    // says that nothing more is to be done with it now.
    bool hold(StatusPanelControl& status);

  private:
    bool running_ = false;
    bool closePending_ = false;
};

}  // namespace pravelo::platform
