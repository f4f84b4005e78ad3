#include "platform/helpindex.h"

#include <QStringList>

namespace {

QString folded(const QString &text)
{
    // Decompose, drop the combining accents, compare lower case.
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString plain;
    plain.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            plain.append(c);
    }
    return plain.toCaseFolded().trimmed();
}

} // namespace

HelpIndex HelpIndex::parse(const QString &text)
{
    HelpIndex index;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const int bar = line.indexOf(QLatin1Char('|'));
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')) || bar <= 0)
            continue;
        index.m_entries.append({line.left(bar).trimmed(), line.mid(bar + 1).trimmed()});
    }
    return index;
}

QList<HelpIndex::Entry> HelpIndex::matching(const QString &typed) const
{
    const QString key = folded(typed);
    QList<Entry> found;
    for (const Entry &entry : m_entries) {
        if (folded(entry.keyword).startsWith(key))
            found.append(entry);
    }
    return found;
}
