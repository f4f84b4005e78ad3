#pragma once

#include <QString>
#include <QStringList>

// A question's free text may carry its correction: the lines after a line "Correction :". The
// free text stays plain text for every reader (the author's rehearsal shows it all), while a
// class sees the statement before answering and the correction only once it has finished.
namespace Correction {

// The line that opens the correction, as the sheet's command inserts it.
QString marker();

// Whether a free-text line opens the correction: "Correction :" in any letter case, with or
// without the space before the colon, blanks around.
bool isMarker(const QString &line);

struct FreeTextParts
{
    QStringList statement;  // shown with the question
    QStringList correction; // shown after the end; empty when the free text has no marker
};

FreeTextParts split(const QStringList &freeText);

} // namespace Correction
