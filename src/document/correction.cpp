#include "document/correction.h"

namespace Correction {

QString marker()
{
    return QStringLiteral("Correction :");
}

bool isMarker(const QString &line)
{
    QString text = line.trimmed();
    if (!text.endsWith(QLatin1Char(':')))
        return false;
    text.chop(1);
    return text.trimmed().compare(QStringLiteral("correction"), Qt::CaseInsensitive) == 0;
}

FreeTextParts split(const QStringList &freeText)
{
    FreeTextParts parts;
    qsizetype i = 0;
    for (; i < freeText.size() && !isMarker(freeText.at(i)); ++i)
        parts.statement << freeText.at(i);
    for (++i; i < freeText.size(); ++i)
        parts.correction << freeText.at(i);
    return parts;
}

} // namespace Correction
