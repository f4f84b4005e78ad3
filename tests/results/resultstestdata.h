#pragma once

#include "results/csvtext.h"
#include "results/resultsfile.h"

#include <QFile>
#include <QTemporaryDir>

// Results files for the statistics' and the marks export's tests, written as the program
// writes them.
namespace ResultsTestData {

// A run in the current columns: its date and time, name, kept mark and scale, state, then its
// answers.
inline QStringList run(const QString &name, const QString &mark, const QStringList &answers,
                       const QString &state = QStringLiteral("terminé"), const QString &scale = QStringLiteral("20"),
                       const QString &date = QStringLiteral("09/03/2026"), const QString &time = QStringLiteral("10:00:00"))
{
    return QStringList{date, time, name, "0", QString::number(answers.size()), mark, mark.isEmpty() ? QString() : scale,
                       QString::number(answers.size()), "poste", "", "0:05:00", state, ""}
           + answers;
}

// The file's bytes: the header naming questions "1. <title>"..., then the rows field by field.
// With olderColumns, the header of a file begun before marks were kept.
inline QByteArray fileText(const QStringList &titles, const QList<QStringList> &rows, bool olderColumns = false)
{
    RunResults named;
    named.rows.resize(size_t(titles.size()));
    for (qsizetype i = 0; i < titles.size(); ++i)
        named.rows[size_t(i)].title = titles.at(i);
    QStringList header = ResultsFile::header(named);
    if (olderColumns)
        header.remove(ResultsFile::OldFixedColumnCount, ResultsFile::FixedColumnCount - ResultsFile::OldFixedColumnCount);
    QByteArray bytes = QByteArray(CsvText::ByteOrderMark) + CsvText::row(header);
    for (const QStringList &row : rows)
        bytes += CsvText::row(row);
    return bytes;
}

// The rows read back through ResultsFile::read, as the statistics read them.
inline ResultsSheet sheetOf(const QStringList &titles, const QList<QStringList> &rows, bool olderColumns = false)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("quiz-resultats.csv"));
    QFile file(path);
    const QByteArray bytes = fileText(titles, rows, olderColumns);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    file.close();
    return ResultsFile::read(path);
}

} // namespace ResultsTestData
