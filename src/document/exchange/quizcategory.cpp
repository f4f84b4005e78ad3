#include "document/exchange/quizcategory.h"

#include <QRegularExpression>

namespace QuizCategory {

namespace {

// A name as a path writes it: on one line, a "/" inside it doubled.
QString segment(const QString &name)
{
    QString clean = name;
    clean.replace(QRegularExpression(QStringLiteral("[\\x00-\\x1F\\x7F]")), QStringLiteral(" "));
    clean = clean.simplified();
    clean.replace(QLatin1Char('/'), QLatin1String("//"));
    return clean;
}

} // namespace

QString pathFor(const QString &name)
{
    return QLatin1String("$course$/top/") + segment(name);
}

QString childPath(const QString &path, const QString &name)
{
    return path + QLatin1Char('/') + segment(name);
}

QString label(const QString &path)
{
    static const QRegularExpression context(QStringLiteral("^\\$[a-z]+\\$(/|$)"));
    QString rest = path.trimmed();
    rest.remove(context);
    if (rest == QLatin1String("top"))
        rest.clear();
    else if (rest.startsWith(QLatin1String("top/")))
        rest.remove(0, 4);
    rest.replace(QLatin1String("//"), QLatin1String("/"));
    return rest;
}

} // namespace QuizCategory
