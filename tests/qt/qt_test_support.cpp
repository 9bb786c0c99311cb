#include "qt_test_support.h"

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

}  // namespace pravelo::qttest
