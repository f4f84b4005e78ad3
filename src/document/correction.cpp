#include "document/correction.h"

namespace Correction {

namespace {

const QString Word = QStringLiteral("correction");

// Where the correction's own text begins on a marker line, or -1 when the line opens nothing.
qsizetype textStart(const QString &line)
{
    qsizetype at = 0;
    while (at < line.size() && line.at(at).isSpace())
        ++at;
    if (QStringView(line).mid(at, Word.size()).compare(Word, Qt::CaseInsensitive) != 0)
        return -1;
    at += Word.size();
    while (at < line.size() && line.at(at).isSpace())
        ++at;
    if (at == line.size() || line.at(at) != QLatin1Char(':'))
        return -1;
    return at + 1;
}

} // namespace

QString marker()
{
    return QStringLiteral("Correction :");
}

bool isMarker(const QString &line)
{
    return textStart(line) >= 0;
}

FreeTextParts split(const QStringList &freeText)
{
    FreeTextParts parts;
    qsizetype i = 0;
    qsizetype start = -1;
    for (; i < freeText.size() && (start = textStart(freeText.at(i))) < 0; ++i)
        parts.statement << freeText.at(i);
    if (i == freeText.size())
        return parts;
    // A correction typed on the marker's own line belongs to it; a bare marker adds no line, so
    // what "Insérer une correction" writes reads as it always has.
    const QString rest = freeText.at(i).mid(start).trimmed();
    if (!rest.isEmpty())
        parts.correction << rest;
    for (++i; i < freeText.size(); ++i)
        parts.correction << freeText.at(i);
    return parts;
}

} // namespace Correction
