#include "platform/qt/status_clock.h"

namespace pravelo::platform::qt {

QString statusDateText(const QDate& date, const QLocale& locale) {
    return locale.toString(date, QLocale::ShortFormat);
}

QString statusTimeText(const QTime& time, const QLocale& locale) {
    return locale.toString(time, withoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
}

QString withoutTimeZone(const QString& format) {
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
        } else if (!quoted && c == QLatin1Char('t')) {
            continue;
        }
        result += c;
    }
    // The blank that stood before or after the field goes with it.
    result.replace(QStringLiteral("  "), QStringLiteral(" "));
    return result.trimmed();
}

}  // namespace pravelo::platform::qt
