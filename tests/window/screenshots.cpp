// Saves pictures of the window and the About dialog for a person to look at:
//   pravelo_screenshots FOLDER
// Runs on the display it is given, or off screen when there is none.
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <cstdlib>

#include "platform/qt/danish_toolkit_texts.h"
#include "platform/qt/qt_about_dialog.h"
#include "window_harness.h"

namespace {

void save(QWidget& widget, const QDir& folder, const char* name) {
    const QString path = folder.filePath(QLatin1String(name) + QStringLiteral(".png"));
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
    std::printf("%s\n", qPrintable(path));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("windows"));
    pravelo::platform::qt::useDanishToolkitTexts();
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path())) return 1;

    pravelo::testing::WindowHarness h;
    for (const char* name : {"Brev til Århus.doc", "Faktura 2024.doc", "Referat.doc"}) {
        h.addDocument(name);
    }
    h.window.Form_Load();
    h.form.show();
    if (!QTest::qWaitForWindowExposed(&h.form)) return 1;
    save(h.form, folder, "main-window");

    h.fakeOffice.failOn("open:" + h.documentPath("Faktura 2024.doc"), 5, "beskadiget");
    auto* files = h.form.findChild<QListWidget*>(QStringLiteral("File1"));
    files->item(0)->setSelected(true);
    files->item(1)->setSelected(true);
    h.form.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    save(h.form, folder, "main-window-failures");

    h.form.showAbout();
    pravelo::platform::qt::QtAboutDialog* about = h.form.aboutDialog();
    if (about == nullptr) return 1;
    if (!QTest::qWaitForWindowExposed(about)) return 1;
    save(*about, folder, "about-dialog");
    return 0;
}
