#include "platform/win32/wait_loop.h"

#include "platform/support/background_work.h"

namespace pravelo::platform::win32 {

namespace {

constexpr UINT kWorkDone = WM_APP + 41;

}  // namespace

bool isUserInput(const MSG& message) {
    const UINT m = message.message;
    return (m >= WM_KEYFIRST && m <= WM_KEYLAST) || (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) ||
           (m >= WM_NCMOUSEMOVE && m <= WM_NCXBUTTONDBLCLK);
}

void waitWithMessageLoop(const std::function<void()>& work,
                         const std::function<bool(const MSG&)>& letThrough) {
    const DWORD windowThread = GetCurrentThreadId();
    // The thread message wakes GetMessage even when no window of ours is left.
    BackgroundWork worker(work,
                          [windowThread] { PostThreadMessageW(windowThread, kWorkDone, 0, 0); });
    bool quit = false;
    int exitCode = 0;
    MSG message{};
    while (!worker.done()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            quit = true;
            exitCode = static_cast<int>(message.wParam);
            continue;
        }
        if (message.hwnd == nullptr && message.message == kWorkDone) continue;
        if (isUserInput(message) && !letThrough(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    worker.join();
    // Input that came in while the work ended is dropped too, not handled after us.
    while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    while (PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
    while (PeekMessageW(&message, nullptr, kWorkDone, kWorkDone, PM_REMOVE)) {
    }
    if (quit) PostQuitMessage(exitCode);
    worker.rethrowFailure();
}

}  // namespace pravelo::platform::win32
