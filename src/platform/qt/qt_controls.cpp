#include "platform/qt/qt_controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

#include "platform/qt/qt_support.h"

namespace pravelo::platform::qt {

QtLabel::QtLabel(QLabel* label) : label_(label), caption_(fromQt(label->text())) {
    label_->setTextFormat(Qt::PlainText);
}

void QtLabel::setCaption(const std::string& text) {
    caption_ = text;
    label_->setText(displayText(text));
}

void QtLabel::setForeColor(Rgb color) {
    QPalette palette = label_->palette();
    palette.setColor(QPalette::WindowText, QColor(color.red, color.green, color.blue));
    label_->setPalette(palette);
}

void QtLabel::setBold(bool bold) {
    QFont font = label_->font();
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    label_->setFont(font);
}

std::string QtLineTextBox::text() const {
    return fromQt(edit_->text());
}

void QtLineTextBox::setText(const std::string& text) {
    edit_->setText(toQt(text));
}

bool QtLineTextBox::isShown() const {
    return !edit_->isHidden();
}

void QtLineTextBox::setShown(bool shown) {
    edit_->setHidden(!shown);
}

void QtLineTextBox::setFocus() {
    edit_->setFocus(Qt::OtherFocusReason);
}

QtListTextBox::QtListTextBox(QPlainTextEdit* edit)
    : edit_(edit), text_(fromQt(edit->toPlainText())) {}

void QtListTextBox::setText(const std::string& text) {
    text_ = text;
    edit_->setPlainText(displayText(text));
}

void QtListTextBox::appendText(const std::string& more) {
    text_ += more;
    // A line break may arrive split over two calls: CR now, LF next time.
    // Rebuilding from the whole text keeps such a pair one break.
    if (!more.empty() && more.front() == '\n' && text_.size() > more.size() &&
        text_[text_.size() - more.size() - 1] == '\r') {
        edit_->setPlainText(displayText(text_));
        return;
    }
    QTextCursor end(edit_->document());
    end.movePosition(QTextCursor::End);
    end.insertText(displayText(more));
}

bool QtListTextBox::isShown() const {
    return !edit_->isHidden();
}

void QtListTextBox::setShown(bool shown) {
    edit_->setHidden(!shown);
}

void QtListTextBox::setFocus() {
    edit_->setFocus(Qt::OtherFocusReason);
}

std::string QtButton::caption() const {
    return fromQt(button_->text());
}

void QtButton::setCaption(const std::string& text) {
    button_->setText(toQt(text));
}

void QtButton::setFocus() {
    button_->setFocus(Qt::OtherFocusReason);
}

QtStatusPanel::QtStatusPanel(QLabel* label) : label_(label), text_(fromQt(label->text())) {
    label_->setTextFormat(Qt::PlainText);
}

void QtStatusPanel::setText(const std::string& text) {
    text_ = text;
    label_->setText(displayText(text));
}

}  // namespace pravelo::platform::qt
