#include "platform/qt/background_wait.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "platform/qt/input_blocker.h"
#include "platform/support/background_work.h"

namespace pravelo::platform::qt {

void waitInEventLoop(const std::function<void()>& work,
                     const std::function<bool(const QObject*, const QEvent&)>& letThrough) {
    const InputBlocker blocker(letThrough);
    QEventLoop loop;
    BackgroundWork worker(work, [&loop] {
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    // An application-wide exit also ends local loops; the work still has to end.
    while (!worker.done()) loop.exec();
    worker.join();
    // Input queued while the work was ending is dropped too, not handled after us.
    QCoreApplication::processEvents();
    worker.rethrowFailure();
}

}  // namespace pravelo::platform::qt
