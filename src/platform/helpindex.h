#pragma once

#include <QList>
#include <QString>

// The keyword index of the help pages: one "keyword|page#anchor" entry a line, in the order
// the index shows them. Kept apart from the window so its matching is tested without widgets.
class HelpIndex
{
public:
    struct Entry
    {
        QString keyword;
        QString target;
    };

    static HelpIndex parse(const QString &text);

    const QList<Entry> &entries() const { return m_entries; }
    // Entries whose keyword starts with `typed`, ignoring letter case and accents, as a
    // partial-key search does ("ecr" finds "Écrire un questionnaire").
    QList<Entry> matching(const QString &typed) const;

private:
    QList<Entry> m_entries;
};
