#include "platform/qt/input_blocker.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace pravelo::platform::qt {

namespace {

// A dialog that is modal now was opened during the wait: the blocked windows
// cannot have opened one themselves.
bool inModalDialog(const QObject* target) {
    const QWidget* modal = QApplication::activeModalWidget();
    const auto* widget = qobject_cast<const QWidget*>(target);
    return modal != nullptr && widget != nullptr && widget->window() == modal;
}

}  // namespace

InputBlocker::InputBlocker(std::function<bool(const QObject*, const QEvent&)> letThrough)
    : letThrough_(std::move(letThrough)) {
    QCoreApplication::instance()->installEventFilter(this);
}

InputBlocker::~InputBlocker() {
    QCoreApplication::instance()->removeEventFilter(this);
}

bool InputBlocker::isUserInput(const QEvent& event) {
    switch (event.type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::NonClientAreaMouseMove:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::InputMethod:
            return true;
        default:
            return false;
    }
}

bool InputBlocker::eventFilter(QObject* target, QEvent* event) {
    if (!isUserInput(*event)) return false;
    // A window hands its input on to its widgets, where it is judged.
    if (qobject_cast<const QWindow*>(target) != nullptr) return false;
    return !inModalDialog(target) && !letThrough_(target, *event);
}

}  // namespace pravelo::platform::qt
