#pragma once

#include <QComboBox>

#include "platform/form_controls.h"

namespace pravelo::platform::qt {

// Editable pattern list whose list choice alone counts: text typed into the
// field never emits chosen(), not even when Enter makes it an entry's.
class PatternCombo : public QComboBox, public ComboControl {
    Q_OBJECT

  public:
    explicit PatternCombo(QWidget* parent = nullptr);

    std::string text() const override;
    void addItem(const std::string& text) override;
    int listCount() const override { return count(); }
    std::string list(int index) const override;

    void showPopup() override;

  signals:
    // The user chose an entry of the list (mouse, or arrow keys on the closed list).
    void chosen();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private slots:
    void onActivated(int index);
};

}  // namespace pravelo::platform::qt
