#include "platform/qt/qt_about_dialog.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QWindow>

#include "platform/qt/qt_artwork.h"
#include "platform/qt/qt_support.h"
#include "platform/support/run_handler.h"
#include "platform/version_record.h"

namespace pravelo::platform::qt {

namespace {

namespace about = layout::about;

void setTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

QFrame* makeLine(QWidget* parent, const about::Line& described) {
    auto* line = new QFrame(parent);
    line->setObjectName(QLatin1String(described.name));
    line->setFrameShape(QFrame::NoFrame);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, QColor(described.grey, described.grey, described.grey));
    line->setPalette(palette);
    line->setGeometry(QRect(twips(described.left), twips(described.top),
                            twips(described.right) - twips(described.left), described.width));
    return line;
}

}  // namespace

QtAboutDialog::QtAboutDialog()
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(dialogFont());
    setWindowIcon(programIcon());
    setFixedSize(twipsRect(about::ClientArea).size());
    createControls();
}

QtAboutDialog::~QtAboutDialog() = default;

void QtAboutDialog::createControls() {
    // Created in the layout's order: later controls lie on top.
    picIcon_ = new QLabel(this);
    picIcon_->setObjectName(QLatin1String(about::picIcon.name));
    picIcon_->setPixmap(aboutLogo());
    picIcon_->setGeometry(twipsRect(about::picIcon.place));

    cmdOK_ = new QPushButton(QString::fromUtf8(about::cmdOK.caption), this);
    cmdOK_->setObjectName(QLatin1String(about::cmdOK.name));
    cmdOK_->setGeometry(twipsRect(about::cmdOK.place));
    cmdOK_->setDefault(true);
    connect(cmdOK_, &QPushButton::clicked, this, &QtAboutDialog::onOkClicked);

    cmdSysInfo_ = new QPushButton(QString::fromUtf8(about::cmdSysInfo.caption), this);
    cmdSysInfo_->setObjectName(QLatin1String(about::cmdSysInfo.name));
    cmdSysInfo_->setGeometry(twipsRect(about::cmdSysInfo.place));
    // A focused button takes Enter for itself, as on the classic platform;
    // elsewhere Enter goes to OK.
    cmdSysInfo_->setAutoDefault(true);
    connect(cmdSysInfo_, &QPushButton::clicked, this, &QtAboutDialog::onSysInfoClicked);

    makeLine(this, about::Line1_1);

    lblDescription_ = makeLabel(this, about::lblDescription);
    lblDescription_->setWordWrap(true);
    setTextColor(lblDescription_, Qt::black);

    lblTitle_ = makeLabel(this, about::lblTitle);
    setTextColor(lblTitle_, Qt::black);

    // Drawn over the grey line from the same top edge: the grey shows only
    // where it runs on past the white one's right end.
    makeLine(this, about::Line1_0);

    lblVersion_ = makeLabel(this, about::lblVersion);

    lblDisclaimer_ = makeLabel(this, about::lblDisclaimer);
    lblDisclaimer_->setText(disclaimerText());
    lblDisclaimer_->setWordWrap(true);
    setTextColor(lblDisclaimer_, Qt::black);

    // The picture box takes the focus in its turn, between the two buttons.
    picIcon_->setFocusPolicy(Qt::StrongFocus);
    setTabOrder(cmdOK_, picIcon_);
    setTabOrder(picIcon_, cmdSysInfo_);
    cmdOK_->setFocus();
}

QString QtAboutDialog::disclaimerText() {
    return QString::fromUtf8(about::CopyrightNotice) + toQt(contactAddress());
}

void QtAboutDialog::setEvents(std::unique_ptr<AboutFormEvents> events) {
    events_ = std::move(events);
}

void QtAboutDialog::setMessageBoxes(MessageBoxes* boxes) {
    boxes_ = boxes != nullptr ? boxes : &ownBoxes_;
}

void QtAboutDialog::load() {
    run(&AboutFormEvents::Form_Load);
}

void QtAboutDialog::placeOver(QWidget* owner) {
    QRect area(QPoint(), size());
    area.moveCenter(owner->geometry().center());
    setGeometry(area);
    // A window with an owner stays off the task bar.
    if (owner->windowHandle() != nullptr) {
        winId();
        windowHandle()->setTransientParent(owner->windowHandle());
    }
}

void QtAboutDialog::releaseOwner() {
    // An owned window does not count as open when the last window closes.
    if (windowHandle() != nullptr) {
        windowHandle()->setTransientParent(nullptr);
    }
}

void QtAboutDialog::setCaption(const std::string& caption) {
    setWindowTitle(toQt(caption));
}

void QtAboutDialog::setTitle(const std::string& text) {
    lblTitle_->setText(displayText(text));
}

void QtAboutDialog::setVersion(const std::string& text) {
    lblVersion_->setText(displayText(text));
}

void QtAboutDialog::unload() {
    if (unloading_) {
        return;
    }
    unloading_ = true;
    // Inside a close event the close is already under way.
    if (!inCloseEvent_) {
        close();
    }
}

void QtAboutDialog::reject() {
    onOkClicked();
}

void QtAboutDialog::closeEvent(QCloseEvent* event) {
    if (!unloading_) {
        const QScopedValueRollback guard(inCloseEvent_, true);
        onOkClicked();
        // The close box closes whatever the handler did.
        unloading_ = true;
    }
    event->accept();
}

void QtAboutDialog::onOkClicked() {
    if (events_) {
        run(&AboutFormEvents::cmdOK_Click);
    } else {
        unload();
    }
}

void QtAboutDialog::onSysInfoClicked() {
    run(&AboutFormEvents::cmdSysInfo_Click);
}

void QtAboutDialog::run(void (AboutFormEvents::*handler)()) {
    if (events_) {
        AboutFormEvents* events = events_.get();
        // A failure the handler lets through is shown instead of unwinding
        // through the toolkit, which would end the program.
        runHandler([events, handler] { (events->*handler)(); }, *boxes_,
                   fromQt(applicationTitle()));
    }
}

}  // namespace pravelo::platform::qt
