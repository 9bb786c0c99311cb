#include "platform/qt/file_list.h"

#include <QDir>

#include "platform/qt/qt_support.h"

namespace pravelo::platform::qt {

FileList::FileList(QWidget* parent)
    : QListWidget(parent), folder_(QDir::currentPath()), pattern_(QStringLiteral("*.doc")) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
    rebuild();
}

std::string FileList::path() const {
    return fromQt(folder_);
}

void FileList::setPath(const std::string& path) {
    folder_ = checkedFolder(path);
    rebuild();
}

std::string FileList::pattern() const {
    return fromQt(pattern_);
}

void FileList::setPattern(const std::string& pattern) {
    pattern_ = toQt(pattern);
    rebuild();
}

bool FileList::selected(int index) const {
    const QListWidgetItem* entry = item(index);
    return entry != nullptr && entry->isSelected();
}

std::string FileList::list(int index) const {
    const QListWidgetItem* entry = item(index);
    return entry != nullptr ? fromQt(entry->text()) : std::string();
}

void FileList::setFocus() {
    QListWidget::setFocus(Qt::OtherFocusReason);
}

QStringList FileList::nameFilters(const QString& pattern) {
    QStringList filters;
    for (const QString& part : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString filter = part.trimmed();
        if (filter == QLatin1String("*.*")) {
            filters << QStringLiteral("*");
        } else if (!filter.isEmpty()) {
            filters << filter;
        }
    }
    return filters;
}

void FileList::rebuild() {
    clear();
    // No QDir::Hidden or QDir::System: hidden files, devices and dangling
    // links stay out of the list. Name filters ignore case.
    const QStringList names = QDir(folder_).entryList(
        nameFilters(pattern_), QDir::Files, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    addItems(names);
}

}  // namespace pravelo::platform::qt
