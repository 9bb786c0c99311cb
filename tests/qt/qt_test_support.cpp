#include "qt_test_support.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QtTest>
#include <algorithm>

namespace pravelo::qttest {

void RecordingEvents::Command1_Click() {
    raised << "Command1_Click";
    if (!failNextRun.empty()) {
        const std::string failure = std::exchange(failNextRun, {});
        throw std::runtime_error(failure);
    }
}

void RecordingAboutEvents::Form_Load() {
    log_ << "Form_Load";
    form_.setCaption("Om Pravelo");
    form_.setTitle("Pravelo");
    form_.setVersion("Version 1.3.7");
}

void RecordingAboutEvents::cmdOK_Click() {
    log_ << "cmdOK_Click";
    form_.unload();
}

void handleQueuedEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

bool noClickInFlight(const QWidget& window) {
    const auto buttons = window.findChildren<QAbstractButton*>();
    return std::none_of(buttons.begin(), buttons.end(),
                        [](const QAbstractButton* button) { return button->isDown(); });
}

bool settle(const QWidget& window) {
    handleQueuedEvents();
    return QTest::qWaitFor([&window] { return noClickInFlight(window); });
}

}  // namespace pravelo::qttest
