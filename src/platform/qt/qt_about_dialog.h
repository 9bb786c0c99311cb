#pragma once

#include <QDialog>
#include <memory>

#include "platform/main_form.h"
#include "platform/message_boxes.h"
#include "platform/qt/qt_message_boxes.h"

class QLabel;
class QFrame;
class QPushButton;

namespace pravelo::platform::qt {

// The About dialog. It is a window of its own, not a child of the main
// window, so it outlives an unloaded main window and keeps the program
// running until it is closed. OK, Esc and the close box all go to the
// logic's cmdOK_Click, whose unload() closes and destroys the dialog.
class QtAboutDialog : public QDialog, public AboutForm {
    Q_OBJECT

  public:
    QtAboutDialog();
    ~QtAboutDialog() override;

    // The dialog owns its logic; both go when the dialog is unloaded.
    void setEvents(std::unique_ptr<AboutFormEvents> events);
    void setMessageBoxes(MessageBoxes* boxes);
    // Raises the logic's Form_Load.
    void load();
    // Centres the dialog on owner and keeps it off the task bar while owner is up.
    void placeOver(QWidget* owner);
    void releaseOwner();
    bool isUnloading() const { return unloading_; }

    void setCaption(const std::string& caption) override;
    void setTitle(const std::string& text) override;
    void setVersion(const std::string& text) override;
    void unload() override;

    void reject() override;

    static QString disclaimerText();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private slots:
    void onOkClicked();
    void onSysInfoClicked();

  private:
    void createControls();
    void run(void (AboutFormEvents::*handler)());

    QLabel* picIcon_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdSysInfo_ = nullptr;
    QLabel* lblDescription_ = nullptr;
    QLabel* lblTitle_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    QLabel* lblDisclaimer_ = nullptr;

    QtMessageBoxes ownBoxes_;
    MessageBoxes* boxes_ = &ownBoxes_;
    std::unique_ptr<AboutFormEvents> events_;
    bool unloading_ = false;
    bool inCloseEvent_ = false;
};

}  // namespace pravelo::platform::qt
