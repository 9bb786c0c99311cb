#include "platform/qt/qt_message_boxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include "platform/qt/qt_support.h"

namespace pravelo::platform::qt {

namespace {

QMessageBox::Icon toQt(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void QtMessageBoxes::show(const std::string& text, MessageIcon icon, const std::string& title) {
    // Work running away from the window (a batch's document) shows its
    // messages on the window's thread and waits for the OK.
    QCoreApplication* application = QCoreApplication::instance();
    if (QThread::currentThread() != application->thread()) {
        QMetaObject::invokeMethod(
            application, [&] { show(text, icon, title); }, Qt::BlockingQueuedConnection);
        return;
    }
    QMessageBox box(QApplication::activeWindow());
    box.setObjectName(QStringLiteral("PraveloMessageBox"));
    box.setIcon(toQt(icon));
    box.setWindowTitle(qt::toQt(title));
    // Paths and macro names are data, never markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(displayText(text));
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

bool QtMessageBoxes::ask(const std::string& text, const std::string& title) {
    QCoreApplication* application = QCoreApplication::instance();
    if (QThread::currentThread() != application->thread()) {
        bool answer = false;
        QMetaObject::invokeMethod(
            application, [&] { answer = ask(text, title); }, Qt::BlockingQueuedConnection);
        return answer;
    }
    QMessageBox box(QApplication::activeWindow());
    box.setObjectName(QStringLiteral("PraveloQuestionBox"));
    box.setIcon(QMessageBox::Question);
    box.setWindowTitle(qt::toQt(title));
    box.setTextFormat(Qt::PlainText);
    box.setText(displayText(text));
    QPushButton* yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Nej"), QMessageBox::NoRole);
    yes->setObjectName(QStringLiteral("Ja"));
    no->setObjectName(QStringLiteral("Nej"));
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

}  // namespace pravelo::platform::qt
