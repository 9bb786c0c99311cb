#include "app/pravelo_app.h"

#include <QApplication>

namespace pravelo::app {

void useClassicStyle() {
    QApplication::setStyle(QStringLiteral("windows"));
}

PraveloApp::PraveloApp() = default;

void PraveloApp::start() {
    program_.logic.window.Form_Load();
    program_.form.show();
}

}  // namespace pravelo::app
