#include <QApplication>

#include "app/pravelo_app.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    pravelo::app::useClassicStyle();
    pravelo::app::PraveloApp pravelo;
    pravelo.start();
    return application.exec();
}
