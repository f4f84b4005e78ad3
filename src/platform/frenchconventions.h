#pragma once

#include <QLocale>
#include <QString>

class QTime;

// The program's users are French-speaking: their own locale when its language is French
// (Belgian, Swiss and Canadian settings stay theirs), French (France) otherwise.
QLocale frenchLocale(const QLocale &system);

// The long time format of `locale` without its time-zone part: the Windows long time format
// ("HH:mm:ss" in France) has none, and the status-bar clock must not grow a zone name.
QString longTimeFormat(const QLocale &locale);
QString longTimeText(const QLocale &locale, const QTime &time);
