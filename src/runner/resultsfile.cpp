#include "runner/resultsfile.h"

#include "document/qcmfile.h"
#include "platform/apperror.h"
#include "runner/csvtext.h"

#include <QDir>
#include <QFileInfo>

namespace {

// A numbered series stops here: past it, something else is wrong.
constexpr int MaxNumberedFiles = 99;

QString fixedCaption(int column)
{
    switch (column) {
    case ResultsFile::DateColumn: return ResultsFile::tr("Date");
    case ResultsFile::TimeColumn: return ResultsFile::tr("Heure");
    case ResultsFile::NameColumn: return ResultsFile::tr("Nom");
    case ResultsFile::RightColumn: return ResultsFile::tr("Bonnes réponses");
    default: return ResultsFile::tr("Questions");
    }
}

// A name a spreadsheet would take for a formula ("=...", "+...", "-...", "@...") is kept as
// text with a leading apostrophe, the spreadsheets' own mark for text; reading takes it away.
bool looksLikeFormula(const QString &text)
{
    static const QString starts = QStringLiteral("=+-@\t\r");
    return !text.isEmpty() && starts.contains(text.front());
}

QString safeText(const QString &text)
{
    return looksLikeFormula(text) ? QLatin1Char('\'') + text : text;
}

QString unsafeText(const QString &text)
{
    return text.startsWith(QLatin1Char('\'')) && looksLikeFormula(text.mid(1)) ? text.mid(1) : text;
}

// A name is one line of a spreadsheet cell: line breaks and tabs become spaces.
QString oneLine(QString text)
{
    for (QChar &c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t'))
            c = QLatin1Char(' ');
    }
    return text.trimmed();
}

bool isOurHeader(const QStringList &header)
{
    if (header.size() < ResultsFile::FixedColumnCount)
        return false;
    for (int column = 0; column < ResultsFile::FixedColumnCount; ++column) {
        if (header.at(column) != fixedCaption(column))
            return false;
    }
    return true;
}

QByteArray readBytes(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        throw AppError(ResultsFile::tr("%1 n'est pas un fichier ordinaire : il n'a pas été modifié.").arg(path));
    if (info.size() > ResultsFile::MaxSize)
        throw AppError(ResultsFile::tr("Le fichier %1 est trop volumineux pour être un fichier de résultats : il n'a pas été modifié.")
                           .arg(path));
    return QcmFile::read(path);
}

std::vector<QStringList> parsed(const QString &path, const QByteArray &bytes)
{
    std::optional<std::vector<QStringList>> rows = CsvText::parse(bytes);
    if (!rows)
        throw AppError(ResultsFile::tr("Le fichier de résultats %1 est endommagé (texte illisible ou guillemet non fermé) : "
                                       "il n'a pas été modifié.")
                           .arg(path));
    if (rows->empty() || !isOurHeader(rows->front()))
        throw AppError(ResultsFile::tr("Le fichier %1 n'est pas un fichier de résultats de ce programme : "
                                       "il n'a pas été modifié.")
                           .arg(path));
    return std::move(*rows);
}

} // namespace

QString ResultsFile::pathFor(const QString &folder, const QString &questionnairePath)
{
    // Only the extension goes: "controle.6a.qcm" and "controle.6b.qcm" keep the results of
    // their two classes apart, as the questionnaires themselves are kept apart.
    QString name = QFileInfo(questionnairePath).completeBaseName();
    if (name.isEmpty())
        name = tr("questionnaire");
    return QDir(folder).filePath(name + QStringLiteral("-resultats.csv"));
}

QString ResultsFile::numberedPath(const QString &path, int number)
{
    if (number == 1)
        return path;
    QString numbered = path;
    const QString suffix = QStringLiteral(".csv");
    if (numbered.endsWith(suffix))
        numbered.chop(suffix.size());
    return numbered + QStringLiteral("-%1").arg(number) + suffix;
}

QStringList ResultsFile::header(const RunResults &results)
{
    QStringList fields;
    for (int column = 0; column < FixedColumnCount; ++column)
        fields << fixedCaption(column);
    for (size_t i = 0; i < results.rows.size(); ++i)
        fields << QStringLiteral("%1. %2").arg(i + 1).arg(results.rows[i].title);
    return fields;
}

QStringList ResultsFile::row(const KeptRun &run)
{
    QStringList fields{run.when.toString(QStringLiteral("dd/MM/yyyy")), run.when.toString(QStringLiteral("HH:mm:ss")),
                       safeText(oneLine(run.pupil)), QString::number(run.results.rightCount),
                       QString::number(run.results.rows.size())};
    for (const RunResultRow &result : run.results.rows)
        fields << (result.answer > 0 ? QString::number(result.answer) : QString());
    return fields;
}

ResultsFile::Kind ResultsFile::kindOf(const QString &path, const QStringList &expectedHeader, QByteArray *bytes)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return Kind::Missing;
    *bytes = readBytes(path);
    // An empty file holds nothing to lose: it is begun again.
    if (bytes->isEmpty())
        return Kind::Missing;
    const std::vector<QStringList> rows = parsed(path, *bytes);
    return rows.front() == expectedHeader ? Kind::Matching : Kind::Stale;
}

ResultsFile::Saved ResultsFile::append(const QString &path, const KeptRun &run)
{
    const QStringList expected = header(run.results);
    const QByteArray newRow = CsvText::row(row(run));
    for (int number = 1; number <= MaxNumberedFiles; ++number) {
        const QString candidate = numberedPath(path, number);
        QByteArray bytes;
        const Kind kind = kindOf(candidate, expected, &bytes);
        if (kind == Kind::Stale)
            continue;
        if (kind == Kind::Missing) {
            bytes = QByteArray(CsvText::ByteOrderMark) + CsvText::row(expected);
        } else if (!bytes.endsWith('\n') && !bytes.endsWith('\r')) {
            // A last row without its line end (a hand edit) keeps its cells to itself.
            bytes += "\r\n";
        }
        QcmFile::write(candidate, bytes + newRow);
        Saved saved{candidate, QString()};
        if (number > 1)
            saved.notice = tr("Les questions du questionnaire ne sont plus celles du fichier de résultats %1 : "
                              "ce fichier n'a pas été modifié et les résultats ont été enregistrés dans %2.")
                               .arg(QFileInfo(path).fileName(), QFileInfo(candidate).fileName());
        return saved;
    }
    throw AppError(tr("Trop de fichiers de résultats pour des versions différentes de ce questionnaire (%1) : "
                      "aucun n'a été modifié.")
                       .arg(path));
}

ResultsSheet ResultsFile::read(const QString &path)
{
    std::vector<QStringList> rows = parsed(path, readBytes(path));
    ResultsSheet sheet;
    const QStringList &header = rows.front();
    sheet.questions = header.mid(FixedColumnCount);
    sheet.runs.reserve(rows.size() - 1);
    for (size_t i = 1; i < rows.size(); ++i) {
        QStringList fields = std::move(rows[i]);
        while (fields.size() < header.size())
            fields.append(QString());
        fields[NameColumn] = unsafeText(fields.at(NameColumn));
        sheet.runs.push_back(std::move(fields));
    }
    return sheet;
}

QString ResultsFile::findFor(const QString &path, const QStringList &questions, ResultsSheet *sheet)
{
    for (int number = 1; number <= MaxNumberedFiles; ++number) {
        const QString candidate = numberedPath(path, number);
        if (!QFileInfo(candidate).isFile())
            return QString();
        try {
            ResultsSheet found = read(candidate);
            if (found.questions == questions) {
                if (sheet)
                    *sheet = std::move(found);
                return candidate;
            }
        } catch (const AppError &) {
            // Not ours, or unreadable: the series goes on past it.
        }
    }
    return QString();
}
