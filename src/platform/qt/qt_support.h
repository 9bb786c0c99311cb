#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <string>

#include "platform/support/window_layout.h"

class QLabel;
class QWidget;

namespace pravelo::platform::qt {

// Layouts are drawn in twips; 15 twips make one pixel at 96 dpi.
constexpr int twips(int value) {
    return (value + 7) / 15;
}

inline QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

inline QRect twipsRect(const layout::Twips& place) {
    return twipsRect(place.left, place.top, place.width, place.height);
}

inline QString toQt(const std::string& text) {
    return QString::fromStdString(text);
}
inline std::string fromQt(const QString& text) {
    return text.toStdString();
}

// The logic writes line breaks as CR LF; widgets want a bare LF.
QString displayText(const std::string& text);

// A top-left aligned plain-text label at a fixed place: data never renders as markup.
QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const QRect& rect);
// The same for a label the layout describes, with its caption.
QLabel* makeLabel(QWidget* parent, const layout::Control& control);

// The closest we have to the classic 8.25 pt dialog font.
QFont dialogFont(bool bold = false);

// The absolute, cleaned form of a folder the lists can show. Throws Error
// with a Danish description when the folder is missing or cannot be read.
QString checkedFolder(const std::string& path);

// Title for messages raised by the window itself: the product name.
QString applicationTitle();

}  // namespace pravelo::platform::qt
