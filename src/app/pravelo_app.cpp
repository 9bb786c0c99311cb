#include "app/pravelo_app.h"

#include <QApplication>

namespace pravelo::app {

void useClassicStyle() {
    QApplication::setStyle(QStringLiteral("windows"));
}

PraveloApp::PraveloApp()
    : platform_{platform::programVersionRecord(),
                machine_,
                files_,
                messages_,
                form_,
                office_,
                processes_,
                registry_,
                &archive_},
      logic_(platform_) {
    logic_.connect(form_, machine_);
}

void PraveloApp::start() {
    logic_.window.Form_Load();
    form_.show();
}

}  // namespace pravelo::app
