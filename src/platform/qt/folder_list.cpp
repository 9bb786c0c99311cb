#include "platform/qt/folder_list.h"

#include <QDir>
#include <QHeaderView>
#include <QStyle>

#include "platform/error.h"
#include "platform/qt/qt_support.h"

namespace pravelo::platform::qt {

FolderList::FolderList(QWidget* parent)
    : QTreeWidget(parent), folder_(QDir::cleanPath(QDir::currentPath())) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setIndentation(10);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeWidget::itemDoubleClicked, this, &FolderList::onItemDoubleClicked);
    rebuild();
}

std::string FolderList::path() const {
    return fromQt(folder_);
}

void FolderList::setPath(const std::string& path) {
    folder_ = checkedFolder(path);
    rebuild();
}

void FolderList::drawBranches(QPainter*, const QRect&, const QModelIndex&) const {
    // Every link of the chain is open; there is nothing to expand or collapse.
}

void FolderList::onItemDoubleClicked(QTreeWidgetItem* item) {
    // Rebuilding here would delete the item that later listeners of this
    // signal still receive, so the change waits for the event loop.
    const QString folder = item->data(0, PathRole).toString();
    QMetaObject::invokeMethod(
        this, [this, folder] { openFolder(folder); }, Qt::QueuedConnection);
}

void FolderList::openFolder(const QString& folder) {
    if (folder == folder_) {
        return;
    }
    try {
        setPath(fromQt(folder));
    } catch (const Error& error) {
        emit folderRefused(toQt(error.description()));
        return;
    }
    emit folderChosen();
}

void FolderList::rebuild() {
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);

    QStringList chain;
    for (QDir dir(folder_);;) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp()) {
            break;
        }
    }

    QTreeWidgetItem* parent = nullptr;
    for (const QString& link : chain) {
        const QString name = QDir(link).isRoot() ? link : QDir(link).dirName();
        auto* item = parent == nullptr ? new QTreeWidgetItem(this) : new QTreeWidgetItem(parent);
        item->setText(0, name);
        item->setIcon(0, openIcon);
        item->setData(0, PathRole, link);
        parent = item;
    }

    const QDir current(folder_);
    const QStringList subfolders = current.entryList(
        QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QString& name : subfolders) {
        auto* item = new QTreeWidgetItem(parent);
        item->setText(0, name);
        item->setIcon(0, closedIcon);
        item->setData(0, PathRole, current.absoluteFilePath(name));
    }

    expandAll();
    setCurrentItem(parent);
    scrollToItem(parent, QAbstractItemView::PositionAtTop);
}

}  // namespace pravelo::platform::qt
