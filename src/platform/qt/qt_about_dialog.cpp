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

constexpr int kClientWidth = 382;
constexpr int kClientHeight = 280;

void setTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

QFrame* makeLine(QWidget* parent, const char* name, const QColor& color, const QRect& rect) {
    auto* line = new QFrame(parent);
    line->setObjectName(QLatin1String(name));
    line->setFrameShape(QFrame::NoFrame);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, color);
    line->setPalette(palette);
    line->setGeometry(rect);
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
    setFixedSize(kClientWidth, kClientHeight);
    createControls();
}

QtAboutDialog::~QtAboutDialog() = default;

void QtAboutDialog::createControls() {
    // Created in the layout's order: later controls lie on top.
    picIcon_ = new QLabel(this);
    picIcon_->setObjectName(QStringLiteral("picIcon"));
    picIcon_->setPixmap(aboutLogo());
    picIcon_->setGeometry(twipsRect(240, 240, 480, 660));

    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setGeometry(twipsRect(4245, 3345, 1260, 345));
    cmdOK_->setDefault(true);
    connect(cmdOK_, &QPushButton::clicked, this, &QtAboutDialog::onOkClicked);

    cmdSysInfo_ = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo_->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo_->setGeometry(twipsRect(4260, 3795, 1245, 345));
    // A focused button takes Enter for itself, as on the classic platform;
    // elsewhere Enter goes to OK.
    cmdSysInfo_->setAutoDefault(true);
    connect(cmdSysInfo_, &QPushButton::clicked, this, &QtAboutDialog::onSysInfoClicked);

    makeLine(this, "Line1_1", QColor(128, 128, 128),
             QRect(twips(120), twips(3240), twips(5684) - twips(120), 1));

    lblDescription_ =
        makeLabel(this, "lblDescription", descriptionText(), twipsRect(1050, 1125, 3885, 1890));
    lblDescription_->setWordWrap(true);
    setTextColor(lblDescription_, Qt::black);

    lblTitle_ = makeLabel(this, "lblTitle", QStringLiteral("Application Title"),
                          twipsRect(1050, 120, 3885, 480));
    setTextColor(lblTitle_, Qt::black);

    // Drawn over the grey line from the same top edge: the grey shows only
    // where it runs on past the white one's right end.
    makeLine(this, "Line1_0", Qt::white,
             QRect(twips(105), twips(3240), twips(5654) - twips(105), 2));

    lblVersion_ =
        makeLabel(this, "lblVersion", QStringLiteral("Version"), twipsRect(1050, 660, 3885, 225));

    lblDisclaimer_ =
        makeLabel(this, "lblDisclaimer", disclaimerText(), twipsRect(360, 3480, 3630, 585));
    lblDisclaimer_->setWordWrap(true);
    setTextColor(lblDisclaimer_, Qt::black);

    // The picture box takes the focus in its turn, between the two buttons.
    picIcon_->setFocusPolicy(Qt::StrongFocus);
    setTabOrder(cmdOK_, picIcon_);
    setTabOrder(picIcon_, cmdSysInfo_);
    cmdOK_->setFocus();
}

QString QtAboutDialog::descriptionText() {
    return QStringLiteral(
        "Dette værktøj er bygget til at formaterer flere WORD dokkumenter på en gang ved brug af "
        "makroer gemt i din lokale NORMAL.DOT Jeg tager ikke ansvar for fejl der måtte opstå på "
        "grund af dette program. Ødelagte data, bål eller brand garanteres der heller ikke imod. "
        "Hvis du har spørgsmål, ris eller ros, kan du skrive til mig.");
}

QString QtAboutDialog::disclaimerText() {
    return QStringLiteral("Copyright © 2026 Pravelo — ") + toQt(contactAddress());
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
