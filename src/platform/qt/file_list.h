#pragma once

#include <QListWidget>
#include <QStringList>

#include "platform/form_controls.h"

namespace pravelo::platform::qt {

// The file list: names of the folder's files that match the pattern, read
// synchronously so the logic sees the whole list the moment it sets it.
class FileList : public QListWidget, public FileListControl {
    Q_OBJECT

  public:
    explicit FileList(QWidget* parent = nullptr);

    std::string path() const override;
    void setPath(const std::string& path) override;
    std::string pattern() const override;
    void setPattern(const std::string& pattern) override;
    int listCount() const override { return count(); }
    bool selected(int index) const override;
    std::string list(int index) const override;
    void setFocus() override;

    // "*.doc;*.dot" as name filters; "*.*" means every file as it does on Windows.
    static QStringList nameFilters(const QString& pattern);

  private:
    void rebuild();

    QString folder_;
    QString pattern_;
};

}  // namespace pravelo::platform::qt
