#include "platform/qt/qt_support.h"

#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QLabel>

#include "platform/error.h"
#include "platform/version_record.h"

namespace pravelo::platform::qt {

QString displayText(const std::string& text) {
    QString result = toQt(text);
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

QFont dialogFont(bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("DejaVu Sans")});
    // 8.25 pt at 96 dpi.
    font.setPixelSize(11);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

QString checkedFolder(const std::string& path) {
    if (path.empty()) {
        throw Error(errnum::PathNotFound, "Stien blev ikke fundet: (tom sti)");
    }
    const QFileInfo info(toQt(path));
    const QString folder = QDir::cleanPath(info.absoluteFilePath());
    if (!info.exists() || !info.isDir()) {
        throw Error(errnum::PathNotFound, "Stien blev ikke fundet: " + fromQt(folder));
    }
    // access() rather than the permission bits: it answers for this user.
    if (::access(QFile::encodeName(folder).constData(), R_OK | X_OK) != 0) {
        throw Error(errnum::PermissionDenied, "Adgang nægtet: " + fromQt(folder));
    }
    return folder;
}

QString applicationTitle() {
    return toQt(programVersionRecord().productName);
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const QRect& rect) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(rect);
    return label;
}

QLabel* makeLabel(QWidget* parent, const layout::Control& control) {
    return makeLabel(parent, control.name, QString::fromUtf8(control.caption),
                     twipsRect(control.place));
}

}  // namespace pravelo::platform::qt
