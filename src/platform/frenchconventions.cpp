#include "platform/frenchconventions.h"

#include <QTime>

QLocale frenchLocale(const QLocale &system)
{
    if (system.language() == QLocale::French)
        return system;
    return QLocale(QLocale::French, QLocale::France);
}

QString longTimeFormat(const QLocale &locale)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    // Drop the zone letters ('t', outside quotes) and the blanks around them.
    QString cleaned;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        cleaned.append(c);
    }
    return cleaned.trimmed();
}

QString longTimeText(const QLocale &locale, const QTime &time)
{
    return locale.toString(time, longTimeFormat(locale));
}
