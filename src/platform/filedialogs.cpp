#include "platform/filedialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

QString FileDialogs::openFile(const QString &filter, const QString &fileName, Folder folder)
{
    const QString chosen = askOpenFile(qtFileFilter(filter), fileName);
    if (!chosen.isEmpty() && folder == Folder::MakeCurrent)
        QDir::setCurrent(QFileInfo(chosen).absolutePath());
    return chosen;
}

QString FileDialogs::saveFile(const QString &filter, const QString &fileName)
{
    return askSaveFile(qtFileFilter(filter), fileName);
}

QString FileDialogs::saveFile(const QString &filter, const QString &fileName, int &fileType)
{
    return askSaveFileAndType(qtFileFilter(filter), fileName, fileType);
}

QString qtFileFilter(const QString &pipeFilter)
{
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < int(parts.size()); i += 2) {
        QString description = parts.at(i).trimmed();
        // Qt reads the patterns from the last parenthesised group; the Windows description
        // repeats them with ";" between, so that group is replaced by the real patterns.
        const int open = description.lastIndexOf(QLatin1Char('('));
        if (open >= 0 && description.endsWith(QLatin1Char(')')))
            description = description.left(open).trimmed();
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &pattern : patterns)
            pattern = pattern.trimmed();
        filters.append(QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' '))));
    }
    return filters.join(QStringLiteral(";;"));
}
