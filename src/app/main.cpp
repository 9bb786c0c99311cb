#include <QApplication>

#include "app/pravelo_app.h"
#include "platform/qt/danish_toolkit_texts.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    pravelo::app::useClassicStyle();
    pravelo::platform::qt::useDanishToolkitTexts();
    pravelo::app::PraveloApp pravelo;
    pravelo.start();
    return application.exec();
}
