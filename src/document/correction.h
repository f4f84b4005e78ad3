#pragma once

#include <QString>
#include <QStringList>

// A question's free text may carry its correction: from a line that begins with "Correction :"
// on. The free text stays plain text for every reader (the author's rehearsal shows it all),
// while a class sees the statement before answering and the correction only when the
// questionnaire's settings allow it.
namespace Correction {

// The line that opens the correction, as the sheet's command inserts it.
QString marker();

// Whether a free-text line opens the correction: it begins with "Correction :" in any letter
// case, with or without the space before the colon, blanks before it. What follows the colon
// on that line is already the correction ("Correction : 7 × 8 = 56").
bool isMarker(const QString &line);

struct FreeTextParts
{
    QStringList statement;  // shown with the question
    QStringList correction; // shown after the end; empty when the free text has no marker
};

FreeTextParts split(const QStringList &freeText);

} // namespace Correction
