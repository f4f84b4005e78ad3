#include "pictures/picturefilter.h"

#include <QCoreApplication>

QString pictureOpenFilter()
{
    return QCoreApplication::translate(
        "PictureFilter",
        "Tout (*.bmp;*.ico;*.emf;*.wmf;*.jpg;*.gif;*.pcx)|"
        "*.bmp;*.ico;*.emf;*.wmf;*.jpg;*.jpeg;*.gif;*.pcx;*.png;*.svg;*.webp|"
        "Bitmaps (*.bmp)|*.bmp|Icônes (*.ico)|*.ico|MétaFichiers améliorés (*.emf)|*.emf|"
        "MetaFichiers (*.wmf)|*.wmf|Compressés Jpeg (*.jpg;*.jpeg)|*.jpg;*.jpeg|Gif (*.gif)|*.gif|Pcx (*.pcx)|*.pcx|"
        "Png (*.png)|*.png|Svg (*.svg)|*.svg|WebP (*.webp)|*.webp");
}

QString caseInsensitivePattern(const QString &pattern)
{
    QString result;
    for (const QChar c : pattern) {
        const QChar lower = c.toLower();
        const QChar upper = c.toUpper();
        if (lower != upper)
            result += QLatin1Char('[') + lower + upper + QLatin1Char(']');
        else
            result += c;
    }
    return result;
}

QString qtPictureFilter(const QString &pipeFilter)
{
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString &pattern : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            patterns.append(caseInsensitivePattern(pattern.trimmed()));
        filters.append(QStringLiteral("%1 (%2)").arg(parts.at(i).trimmed(), patterns.join(QLatin1Char(' '))));
    }
    return filters.join(QStringLiteral(";;"));
}
