#include "platform/qt/pattern_combo.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "platform/qt/qt_support.h"

namespace pravelo::platform::qt {

namespace {

bool stepsThroughList(const QKeyEvent* event) {
    if (event->modifiers() & Qt::AltModifier) {
        return false;  // Alt+Down opens the list instead
    }
    switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            return true;
        default:
            return false;
    }
}

}  // namespace

PatternCombo::PatternCombo(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setEditText(QStringLiteral("*.doc"));
    connect(this, &QComboBox::activated, this, &PatternCombo::onActivated);
}

std::string PatternCombo::text() const {
    return fromQt(currentText());
}

void PatternCombo::addItem(const std::string& text) {
    // The first entry would otherwise replace the field's text.
    const QString field = currentText();
    const bool modified = lineEdit()->isModified();
    QComboBox::addItem(toQt(text));
    if (currentText() != field) {
        setEditText(field);
    }
    lineEdit()->setModified(modified);
}

std::string PatternCombo::list(int index) const {
    return index >= 0 && index < count() ? fromQt(itemText(index)) : std::string();
}

// A choice whose entry equals the typed text changes nothing in the field,
// so the field's modified flag is cleared wherever a choice can begin.
void PatternCombo::showPopup() {
    lineEdit()->setModified(false);
    QComboBox::showPopup();
}

void PatternCombo::keyPressEvent(QKeyEvent* event) {
    if (stepsThroughList(event)) {
        lineEdit()->setModified(false);
    }
    QComboBox::keyPressEvent(event);
}

void PatternCombo::wheelEvent(QWheelEvent* event) {
    lineEdit()->setModified(false);
    QComboBox::wheelEvent(event);
}

void PatternCombo::onActivated(int) {
    // Enter and leaving the field also activate an entry equal to the typed
    // text; the field is then still marked as typed in.
    if (!lineEdit()->isModified()) {
        emit chosen();
    }
}

}  // namespace pravelo::platform::qt
