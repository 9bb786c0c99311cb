#pragma once

#include <windows.h>

#include <functional>

namespace pravelo::platform::win32 {

// Runs the work on a thread of its own while this (window) thread keeps
// painting, running timers and answering the desktop. The user's input is
// dropped, not queued, except the messages letThrough accepts. Returns when
// the work has ended, rethrowing whatever it threw; a quit asked for
// meanwhile is passed on afterwards.
void waitWithMessageLoop(const std::function<void()>& work,
                         const std::function<bool(const MSG&)>& letThrough);

// Keyboard and mouse messages, including those on a window's frame and menu.
bool isUserInput(const MSG& message);

}  // namespace pravelo::platform::win32
