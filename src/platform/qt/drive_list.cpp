#include "platform/qt/drive_list.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include "platform/qt/qt_support.h"

namespace pravelo::platform::qt {

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    for (const QString& root : volumeRoots()) {
        const QStorageInfo volume(root);
        const QString label = volume.name();
        addItem(label.isEmpty() ? root : QStringLiteral("%1 [%2]").arg(root, label), root);
    }
    const int current = findData(QStorageInfo(QDir::currentPath()).rootPath());
    setCurrentIndex(current >= 0 ? current : 0);
    lastIndex_ = currentIndex();
    connect(this, &QComboBox::activated, this, &DriveList::onActivated);
}

std::string DriveList::drive() const {
    return fromQt(currentData().toString());
}

QStringList DriveList::volumeRoots() {
    // Containers list bind-mounted files and odd pseudo mounts among the
    // volumes; only ready folders are worth offering.
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (volume.isValid() && volume.isReady() && QFileInfo(root).isDir() &&
            !roots.contains(root)) {
            roots << root;
        }
    }
    std::sort(roots.begin(), roots.end(), [](const QString& a, const QString& b) {
        const bool aRoot = a == QLatin1String("/");
        const bool bRoot = b == QLatin1String("/");
        if (aRoot != bRoot) {
            return aRoot;
        }
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    if (roots.isEmpty()) {
        roots << QDir::rootPath();
    }
    return roots;
}

void DriveList::onActivated(int index) {
    if (index == lastIndex_) {
        return;
    }
    lastIndex_ = index;
    emit driveChosen();
}

}  // namespace pravelo::platform::qt
