#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace pravelo::platform::qt {

// Date and time as the status bar's own panels show them: the locale's short
// date and its long time without the time-zone field.
QString statusDateText(const QDate& date, const QLocale& locale = QLocale::system());
QString statusTimeText(const QTime& time, const QLocale& locale = QLocale::system());

// Removes the time-zone field ("t", outside quotes) and the blanks around it.
QString withoutTimeZone(const QString& format);

}  // namespace pravelo::platform::qt
