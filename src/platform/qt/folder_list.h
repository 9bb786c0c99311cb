#pragma once

#include <QTreeWidget>

#include "platform/form_controls.h"

namespace pravelo::platform::qt {

// The folder list: the chain from the root down to the current folder, each
// link open, with the current folder's subfolders beneath it. A double click
// on a folder makes it current and emits folderChosen.
class FolderList : public QTreeWidget, public FolderListControl {
    Q_OBJECT

  public:
    explicit FolderList(QWidget* parent = nullptr);

    std::string path() const override;
    void setPath(const std::string& path) override;

    static constexpr int PathRole = Qt::UserRole;

  signals:
    // A user double click moved the list to another folder.
    void folderChosen();
    // The folder the user double-clicked cannot be read; the list kept its folder.
    void folderRefused(const QString& description);

  protected:
    void drawBranches(QPainter* painter, const QRect& rect,
                      const QModelIndex& index) const override;

  private slots:
    void onItemDoubleClicked(QTreeWidgetItem* item);
    void openFolder(const QString& folder);

  private:
    void rebuild();

    QString folder_;
};

}  // namespace pravelo::platform::qt
