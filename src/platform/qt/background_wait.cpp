#include "platform/qt/background_wait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <atomic>
#include <exception>
#include <thread>

#include "platform/qt/input_blocker.h"

namespace pravelo::platform::qt {

void waitInEventLoop(const std::function<void()>& work,
                     const std::function<bool(const QObject*, const QEvent&)>& letThrough) {
    const InputBlocker blocker(letThrough);
    QEventLoop loop;
    std::atomic<bool> done = false;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        done = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    // An application-wide exit also ends local loops; the work still has to end.
    while (!done) loop.exec();
    worker.join();
    // Input queued while the work was ending is dropped too, not handled after us.
    QCoreApplication::processEvents();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace pravelo::platform::qt
