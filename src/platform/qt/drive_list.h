#pragma once

#include <QComboBox>
#include <QStringList>

#include "platform/form_controls.h"

namespace pravelo::platform::qt {

// The mounted volumes that can be browsed, the root "/" first; the entry
// holding the current folder is chosen at start.
class DriveList : public QComboBox, public DriveListControl {
    Q_OBJECT

  public:
    explicit DriveList(QWidget* parent = nullptr);

    std::string drive() const override;

    // Root folders of the volumes offered, in list order.
    static QStringList volumeRoots();

  signals:
    // The user chose another drive.
    void driveChosen();

  private slots:
    void onActivated(int index);

  private:
    int lastIndex_ = -1;
};

}  // namespace pravelo::platform::qt
