#include "document/questiongroup.h"

namespace QuestionGroup {

QString of(const QString &title)
{
    qsizetype open = 0;
    while (open < title.size() && title.at(open).isSpace())
        ++open;
    if (open >= title.size() || title.at(open) != QLatin1Char('['))
        return QString();
    const qsizetype close = title.indexOf(QLatin1Char(']'), open + 1);
    if (close < 0)
        return QString();
    return title.mid(open + 1, close - open - 1).simplified();
}

QString keyOf(const QString &group)
{
    return group.simplified().toCaseFolded();
}

} // namespace QuestionGroup
