#pragma once

#include <functional>

class QEvent;
class QObject;

namespace pravelo::platform::qt {

// Runs the work on a thread of its own while the calling (window) thread keeps
// painting, running timers and answering the desktop in a local event loop,
// with the user's input dropped except for the targets letThrough names.
// Returns when the work has ended, rethrowing whatever it threw.
void waitInEventLoop(const std::function<void()>& work,
                     const std::function<bool(const QObject*, const QEvent&)>& letThrough);

}  // namespace pravelo::platform::qt
