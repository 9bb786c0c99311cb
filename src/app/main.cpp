#include <QApplication>

#include "app/command_line_app.h"
#include "app/pravelo_app.h"
#include "platform/qt/danish_toolkit_texts.h"

int main(int argc, char* argv[]) {
    // Arguments mean a script runs it: no window, and no display needed.
    if (argc > 1) return pravelo::app::runCommandLine(argc, argv);
    QApplication application(argc, argv);
    pravelo::app::useClassicStyle();
    pravelo::platform::qt::useDanishToolkitTexts();
    pravelo::app::PraveloApp pravelo;
    pravelo.start();
    return application.exec();
}
