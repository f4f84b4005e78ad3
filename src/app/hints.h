#pragma once

#include <QString>

// A hint holds a short part before "|" (the tooltip) and a long part after it (the status bar);
// a hint without "|" serves as both.
inline QString shortHint(const QString &hint)
{
    const int bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.left(bar);
}

inline QString longHint(const QString &hint)
{
    const int bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}
