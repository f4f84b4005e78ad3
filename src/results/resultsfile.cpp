#include "results/resultsfile.h"

#include "document/exchange/exchangetext.h"
#include "document/qcmfile.h"
#include "platform/apperror.h"
#include "results/csvtext.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStorageInfo>
#include <QThread>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <optional>

namespace {

// A numbered series stops here: past it, something else is wrong.
constexpr int MaxNumberedFiles = 99;
// A file another program keeps rewriting while a run is added is given up after this many tries.
constexpr int MaxAttempts = 3;
// Between two tries for the lock: short, since a writer holds it for a few milliseconds.
constexpr int LockPollMilliseconds = 20;
// A big file is looked through in pieces of this size, never held whole.
constexpr qint64 ChunkSize = qint64(1) << 20;

QString fixedCaption(int column)
{
    switch (column) {
    case ResultsFile::DateColumn: return ResultsFile::tr("Date");
    case ResultsFile::TimeColumn: return ResultsFile::tr("Heure");
    case ResultsFile::NameColumn: return ResultsFile::tr("Nom");
    case ResultsFile::RightColumn: return ResultsFile::tr("Bonnes réponses");
    case ResultsFile::CountColumn: return ResultsFile::tr("Questions");
    case ResultsFile::MarkColumn: return ResultsFile::tr("Note");
    case ResultsFile::ScaleColumn: return ResultsFile::tr("Barème");
    case ResultsFile::MarkedColumn: return ResultsFile::tr("Questions notées");
    case ResultsFile::WayColumn: return ResultsFile::tr("Passation");
    case ResultsFile::VersionColumn: return ResultsFile::tr("Version");
    case ResultsFile::DurationColumn: return ResultsFile::tr("Durée");
    case ResultsFile::StateColumn: return ResultsFile::tr("État");
    default: return ResultsFile::tr("Copie");
    }
}

// How many columns stand before the questions': a file begun before marks were kept has only
// the first five.
int fixedColumnsOf(const QStringList &header)
{
    if (header.size() < ResultsFile::FixedColumnCount)
        return ResultsFile::OldFixedColumnCount;
    for (int column = ResultsFile::OldFixedColumnCount; column < ResultsFile::FixedColumnCount; ++column) {
        if (header.at(column) != fixedCaption(column))
            return ResultsFile::OldFixedColumnCount;
    }
    return ResultsFile::FixedColumnCount;
}

// "0:12:05": a spreadsheet reads it as a duration.
QString durationText(qint64 seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
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
    if (header.size() < ResultsFile::OldFixedColumnCount)
        return false;
    for (int column = 0; column < ResultsFile::OldFixedColumnCount; ++column) {
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

AppError notOurs(const QString &path)
{
    return AppError(ResultsFile::tr("Le fichier %1 n'est pas un fichier de résultats de ce programme : "
                                    "il n'a pas été modifié.")
                        .arg(path));
}

AppError damaged(const QString &path)
{
    return AppError(ResultsFile::tr("Le fichier de résultats %1 est endommagé (texte illisible ou guillemet non fermé) : "
                                    "il n'a pas été modifié.")
                        .arg(path));
}

// The rows of a results file; an empty list when it holds no row at all.
std::vector<QStringList> parsed(const QString &path, const QByteArray &bytes)
{
    std::optional<std::vector<QStringList>> rows = CsvText::parse(bytes);
    if (!rows)
        throw damaged(path);
    if (!rows->empty() && !isOurHeader(rows->front()))
        throw notOurs(path);
    return std::move(*rows);
}

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// What adding a run needs to know of a results file's text (UTF-8, without its mark), gathered
// piece by piece so that a big file is never held whole: its first row, which names the
// questions, whether it ends inside quotes or on a line end, and whether it holds a NUL, which
// no text does.
class TextSurvey
{
public:
    void feed(QByteArrayView piece)
    {
        if (std::memchr(piece.data(), '\0', size_t(piece.size())))
            m_nul = true;
        for (qsizetype i = 0; i < piece.size() && !m_firstRowEnded; ++i) {
            if (!isLineEnd(piece[i]))
                m_firstRow += piece[i];
            else
                m_firstRowEnded = !m_firstRow.isEmpty(); // empty lines before it are no row
        }
        m_quotes.feed(piece);
        if (!piece.isEmpty())
            m_last = piece.back();
    }

    bool damaged() const { return m_nul || m_quotes.insideQuotes(); }
    bool endsWithLineEnd() const { return isLineEnd(m_last); }
    const QByteArray &firstRow() const { return m_firstRow; }

private:
    QByteArray m_firstRow;
    bool m_firstRowEnded = false;
    bool m_nul = false;
    CsvText::QuoteTracker m_quotes;
    char m_last = '\n';
};

// Stale: the file names other questions. Older: the same questions, in a file begun before
// marks were kept.
enum class Kind { Missing, Matching, Stale, Older };

Kind kindOf(const QString &path, const TextSurvey &survey, const QStringList &expectedHeader)
{
    if (survey.damaged())
        throw damaged(path);
    // A file with no row at all holds nothing to lose: it is begun again.
    if (survey.firstRow().isEmpty())
        return Kind::Missing;
    const std::optional<std::vector<QStringList>> header = CsvText::parse(survey.firstRow());
    if (!header || header->size() != 1 || !isOurHeader(header->front()))
        throw notOurs(path);
    const QStringList &found = header->front();
    if (found == expectedHeader)
        return Kind::Matching;
    const bool sameQuestions = found.mid(fixedColumnsOf(found)) == expectedHeader.mid(ResultsFile::FixedColumnCount);
    return sameQuestions && fixedColumnsOf(found) == ResultsFile::OldFixedColumnCount ? Kind::Older : Kind::Stale;
}

// A file of the series as an addition finds it.
struct Candidate
{
    Kind kind = Kind::Missing;
    QcmFile::Stamp stamp;           // as it was looked at, to notice another writer
    bool endsWithLineEnd = true;
    // Empty when the run is only added at the end; otherwise the whole file as this program
    // writes it, to be written back with the run.
    QByteArray converted;
};

// A file as this program writes it (UTF-8 with its mark), read once in pieces. No value when
// it is not such a file, or could not be read to its end.
std::optional<TextSurvey> surveyed(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray buffer(ChunkSize, Qt::Uninitialized);
    TextSurvey survey;
    bool atStart = true;
    for (;;) {
        const qint64 count = file.read(buffer.data(), ChunkSize);
        if (count < 0)
            return std::nullopt;
        if (count == 0)
            break;
        QByteArrayView piece(buffer.constData(), count);
        if (atStart) {
            // Pieces of a regular file are whole until its end: the mark is in the first one.
            if (!piece.startsWith(QByteArrayView(CsvText::ByteOrderMark)))
                return std::nullopt;
            piece = piece.sliced(3);
            atStart = false;
        }
        survey.feed(piece);
    }
    if (atStart)
        return std::nullopt;
    return survey;
}

Candidate examined(const QString &path, const QStringList &expectedHeader)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {};
    Candidate candidate;
    candidate.stamp = QcmFile::stampOf(path);
    if (info.isFile() && info.size() <= ResultsFile::MaxSize) {
        if (const std::optional<TextSurvey> survey = surveyed(path)) {
            candidate.kind = kindOf(path, *survey, expectedHeader);
            candidate.endsWithLineEnd = survey->endsWithLineEnd();
            return candidate;
        }
    }
    // Saved again by a spreadsheet (without the mark, in the local code page), or not ours:
    // decoded whole, and converted to this program's own way when the run goes into it.
    QByteArray text;
    {
        const QByteArray bytes = readBytes(path);
        const bool utf16 = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
        if (!utf16 && bytes.contains('\0'))
            throw damaged(path);
        text = ExchangeText::decode(bytes).text.toUtf8().replace("\n", "\r\n");
    }
    TextSurvey survey;
    survey.feed(text);
    candidate.kind = kindOf(path, survey, expectedHeader);
    if (candidate.kind == Kind::Matching) {
        candidate.converted = CsvText::ByteOrderMark + text;
        if (!survey.endsWithLineEnd())
            candidate.converted += "\r\n";
    }
    return candidate;
}

// Adds the run to the file as it was examined; false when another program changed the file
// since.
bool added(const QString &path, const Candidate &candidate, const QStringList &header, const QByteArray &newRow)
{
    if (candidate.kind == Kind::Matching && candidate.converted.isEmpty())
        return QcmFile::append(path, candidate.endsWithLineEnd ? newRow : "\r\n" + newRow, candidate.stamp);
    if (QcmFile::stampOf(path) != candidate.stamp)
        return false;
    if (candidate.kind == Kind::Missing)
        QcmFile::write(path, QByteArray(CsvText::ByteOrderMark) + CsvText::row(header) + newRow);
    else
        QcmFile::write(path, candidate.converted + newRow);
    return true;
}

QString refusedText(const QString &path, const QString &reason)
{
    return ResultsFile::tr("Impossible d'enregistrer les résultats dans le dossier %1 : %2.")
        .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()), reason);
}

// Waits for the series' lock; throws when it cannot be had.
void lockSeries(QLockFile &lock, const QString &path, const ResultsFile::LockWait &wait)
{
    lock.setStaleLockTime(int(std::chrono::milliseconds(ResultsFile::StaleLockTime).count()));
    const QDeadlineTimer deadline(wait.timeout.count());
    for (;;) {
        if (lock.tryLock(0))
            return;
        if (lock.error() != QLockFile::LockFailedError) {
            // The lock file cannot be made beside the results: neither can the results.
            const QString folder = QFileInfo(path).absolutePath();
            const QStorageInfo storage(folder);
            QString reason = ResultsFile::tr("accès refusé");
            if (!QFileInfo(folder).isDir())
                reason = ResultsFile::tr("le dossier n'existe pas");
            else if (storage.isValid() && storage.isReadOnly())
                reason = ResultsFile::tr("le disque est en lecture seule");
            throw ResultsFile::Refused(refusedText(path, reason));
        }
        if (deadline.hasExpired())
            throw ResultsFile::Busy(ResultsFile::tr("Le fichier de résultats %1 est en cours d'enregistrement sur un autre "
                                                    "poste ou dans une autre fenêtre.")
                                        .arg(QDir::toNativeSeparators(path)));
        if (wait.whileWaiting)
            wait.whileWaiting();
        QThread::msleep(LockPollMilliseconds);
    }
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
                       CsvText::textCell(oneLine(run.pupil)), QString::number(run.results.rightCount),
                       QString::number(run.results.rows.size())};
    const ClassScore &score = run.results.mark;
    const bool marked = score.markedCount > 0;
    fields << (marked ? ClassMarking::numberText(score.mark) : QString())
           << (marked ? QString::number(score.markScale) : QString()) << QString::number(score.markedCount)
           << wayText(run.way)
           << (run.seed ? QStringLiteral("%1").arg(*run.seed, 16, 16, QLatin1Char('0')).toUpper() : QString())
           << (run.durationSeconds ? durationText(std::max<qint64>(0, *run.durationSeconds)) : QString())
           << (run.removed ? removedText() : run.timedOut ? timeUpText() : run.finished ? tr("terminé") : unfinishedText()) << (run.copy > 0 ? QString::number(run.copy) : QString());
    for (const RunResultRow &result : run.results.rows)
        fields << answerCell(result);
    return fields;
}

QString ResultsFile::answerCell(const RunResultRow &row)
{
    if (!row.drawn)
        return notDrawnCell();
    // A run of the F9 rehearsal gives its answer alone, without the set.
    const AnswerSet ticked = row.ticked & ~AnswerSets::OutOfRange;
    if (AnswerSets::count(ticked) < 2) {
        const int answer = row.answer > 0 ? row.answer : AnswerSets::first(ticked);
        return answer > 0 ? QString::number(answer) : QString();
    }
    QString text;
    for (int a = 1; a <= QcmFormat::AnswerCount; ++a) {
        if (!AnswerSets::contains(ticked, a))
            continue;
        if (!text.isEmpty())
            text += QLatin1Char('+');
        text += QString::number(a);
    }
    return text;
}

ResultsFile::Answer ResultsFile::answerOf(const QString &cell)
{
    // Read in place, without a string made per cell: a class's file holds hundreds of thousands.
    const QStringView text = QStringView(cell).trimmed();
    if (text == notDrawnCell())
        return {false, 0};
    Answer answer;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('+'), start);
        if (end < 0)
            end = text.size();
        // The spaces a hand edit may leave around a number are passed over.
        const QStringView part = text.sliced(start, end - start).trimmed();
        if (part.isEmpty() || part.size() > 9)
            return {};
        int number = 0;
        for (const QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return {};
            number = number * 10 + (c.unicode() - '0');
        }
        if (number <= 0)
            return {};
        answer.ticked |= AnswerSets::of(number);
        start = end + 1;
    }
    return answer;
}

QString ResultsFile::wayText(KeptRun::Way way)
{
    switch (way) {
    case KeptRun::Way::Rehearsal: return tr("essai");
    case KeptRun::Way::Computer: return tr("poste");
    case KeptRun::Way::Network: return tr("réseau");
    case KeptRun::Way::Paper: return tr("papier");
    case KeptRun::Way::Live: return tr("direct");
    }
    return QString();
}

QString ResultsFile::unfinishedText()
{
    return tr("inachevé");
}

QString ResultsFile::removedText()
{
    return tr("retirée");
}

QString ResultsFile::timeUpText()
{
    return tr("terminée : temps écoulé");
}

QString ResultsFile::lockPath(const QString &path)
{
    return path + QStringLiteral(".lock");
}

ResultsFile::Saved ResultsFile::append(const QString &path, const KeptRun &run)
{
    return append(path, run, LockWait());
}

ResultsFile::Saved ResultsFile::append(const QString &path, const KeptRun &run, const LockWait &wait)
{
    const QStringList expected = header(run.results);
    const QByteArray newRow = CsvText::row(row(run));
    QLockFile lock(lockPath(path));
    lockSeries(lock, path, wait);
    for (int attempt = 0; attempt < MaxAttempts; ++attempt) {
        bool changed = false;
        bool older = false;
        for (int number = 1; number <= MaxNumberedFiles && !changed; ++number) {
            const QString candidatePath = numberedPath(path, number);
            const Candidate candidate = examined(candidatePath, expected);
            if (candidate.kind == Kind::Older)
                older = true;
            if (candidate.kind == Kind::Stale || candidate.kind == Kind::Older)
                continue;
            const QFileInfo info(candidatePath);
            if (info.exists() && !info.isWritable())
                throw Refused(tr("Le fichier de résultats %1 est en lecture seule : les résultats ne peuvent pas y être "
                                 "ajoutés.")
                                  .arg(QDir::toNativeSeparators(candidatePath)));
            if (!added(candidatePath, candidate, expected, newRow)) {
                changed = true;
                continue;
            }
            Saved saved{candidatePath, QString()};
            if (number > 1 && older)
                saved.notice = tr("Le fichier de résultats %1 a été commencé avant que les notes soient enregistrées : "
                                  "ce fichier n'a pas été modifié et les résultats, avec leur note, ont été enregistrés "
                                  "dans %2. Les statistiques comptent les deux fichiers.")
                                   .arg(QFileInfo(path).fileName(), QFileInfo(candidatePath).fileName());
            else if (number > 1)
                saved.notice = tr("Les questions du questionnaire ne sont plus celles du fichier de résultats %1 : "
                                  "ce fichier n'a pas été modifié et les résultats ont été enregistrés dans %2.")
                                   .arg(QFileInfo(path).fileName(), QFileInfo(candidatePath).fileName());
            return saved;
        }
        if (!changed)
            throw AppError(tr("Trop de fichiers de résultats pour des versions différentes de ce questionnaire (%1) : "
                              "aucun n'a été modifié.")
                               .arg(path));
    }
    throw Busy(tr("Le fichier de résultats %1 est modifié par un autre programme pendant l'enregistrement.")
                   .arg(QDir::toNativeSeparators(path)));
}

ResultsSheet ResultsFile::read(const QString &path)
{
    std::vector<QStringList> rows = parsed(path, readBytes(path));
    if (rows.empty())
        throw notOurs(path);
    ResultsSheet sheet;
    const QStringList &header = rows.front();
    const int fixedColumns = fixedColumnsOf(header);
    sheet.questions = header.mid(fixedColumns);
    sheet.runs.reserve(rows.size() - 1);
    const QStringList missingColumns(FixedColumnCount - fixedColumns, QString());
    for (size_t i = 1; i < rows.size(); ++i) {
        QStringList fields = std::move(rows[i]);
        // A spreadsheet writes the empty rows under a table as separators alone.
        if (std::all_of(fields.cbegin(), fields.cend(), [](const QString &field) { return field.trimmed().isEmpty(); }))
            continue;
        while (fields.size() < header.size())
            fields.append(QString());
        if (fields.size() > header.size())
            fields.erase(fields.begin() + header.size(), fields.end());
        if (!missingColumns.isEmpty())
            fields = fields.mid(0, fixedColumns) + missingColumns + fields.mid(fixedColumns);
        fields[NameColumn] = CsvText::cellText(fields.at(NameColumn));
        sheet.runs.push_back(std::move(fields));
    }
    return sheet;
}

QString ResultsFile::findFor(const QString &path, const QStringList &questions, ResultsSheet *sheet)
{
    QString first;
    if (sheet)
        *sheet = ResultsSheet{questions, {}};
    for (int number = 1; number <= MaxNumberedFiles; ++number) {
        const QString candidate = numberedPath(path, number);
        if (!QFileInfo(candidate).isFile())
            break;
        try {
            ResultsSheet found = read(candidate);
            if (found.questions != questions)
                continue;
            if (first.isEmpty())
                first = candidate;
            if (!sheet)
                break;
            std::move(found.runs.begin(), found.runs.end(), std::back_inserter(sheet->runs));
        } catch (const AppError &) {
            // Not ours, or unreadable: the series goes on past it.
        }
    }
    return first;
}
