#pragma once

#include "results/runresults.h"

#include "platform/apperror.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

// One run as it is kept: when, who, the results of every question, its mark, and how the run
// was taken.
struct KeptRun
{
    // How a run was taken: the author's rehearsal (F9), a pupil at the teacher's computer, in a
    // browser on the school network, or on a paper copy.
    enum class Way { Rehearsal, Computer, Network, Paper, Live };

    QDateTime when;
    QString pupil;   // may be empty: the name is optional
    RunResults results;  // with its mark
    Way way = Way::Rehearsal;
    std::optional<quint64> seed;             // the version a class run was drawn from
    std::optional<qint64> durationSeconds;   // none for a rehearsal
    bool finished = true;                    // false: the session ended before the pupil did
    bool removed = false;                    // the teacher took it out of the class: kept, never counted
    bool timedOut = false;                   // the time allowed ran out: kept as it stood
    int copy = 0;                            // a paper copy's number; 0 for the other ways
};

// A results file as read back: the questions its header names, then one row per run, each in
// the columns of ResultsFile::FixedColumn then the answer to each question (empty when none was
// given, see ResultsFile::answerCell). The rows of a file written before marks were kept get the columns it lacks, empty.
struct ResultsSheet
{
    QStringList questions;            // "1. Titre" ... as in the header
    std::vector<QStringList> runs;    // FixedColumnCount fields, then one per question
};

// The file of kept results beside a questionnaire, "<questionnaire>-resultats.csv", opened by
// any spreadsheet. Several writers may add runs to one file at once (two computers of a room
// on a shared folder, two windows): every addition holds a lock beside the file
// ("<file>.lock") from reading to writing, and writes only if the file is still as it was read.
// A run is added at the end of the file without rewriting it, each write checked, and taken
// back on failure, so an earlier row is never lost, even when the disk fills up half-way. A
// file a spreadsheet saved again (Windows-1252, no byte-order mark, quotes left out) is read
// as well and written back whole in UTF-8 with its mark. A file whose header is not ours is
// never touched; a file begun when the questionnaire had other questions is left as it is and
// the run goes to a new file ("-resultats-2.csv", and so on), so that its columns never mix
// two versions of the questionnaire.
//
// Failures throw AppError with a French message.
class ResultsFile
{
    Q_DECLARE_TR_FUNCTIONS(ResultsFile)

public:
    // The columns before the questions'. Files written before marks were kept have only the
    // first OldFixedColumnCount of them.
    enum FixedColumn {
        DateColumn, TimeColumn, NameColumn, RightColumn, CountColumn,
        MarkColumn, ScaleColumn, MarkedColumn, WayColumn, VersionColumn, DurationColumn, StateColumn, CopyColumn,
        FixedColumnCount
    };
    static constexpr int OldFixedColumnCount = MarkColumn;
    // A results file bigger than this is no file of ours (a million runs would not reach it).
    static constexpr qint64 MaxSize = qint64(64) * 1024 * 1024;

    // Another writer holds the file longer than the wait allowed (or kept changing it): trying
    // again later may succeed.
    class Busy : public AppError
    {
    public:
        using AppError::AppError;
    };
    // The file or its folder cannot be written (read-only share, no permission): another place
    // is needed.
    class Refused : public AppError
    {
    public:
        using AppError::AppError;
    };

    // How long an addition waits for another writer to finish, and what it does meanwhile (a
    // window repaints itself).
    struct LockWait
    {
        std::chrono::milliseconds timeout = std::chrono::seconds(3);
        std::function<void()> whileWaiting;
    };
    // A lock older than this was left by a program that stopped before removing it; a live
    // writer holds the lock for much less, even over a slow share.
    static constexpr std::chrono::seconds StaleLockTime{30};

    struct Saved
    {
        QString path;      // the file the run went to
        QString notice;    // why it is not the file asked for; empty when it is
    };

    // "<folder>/<name>-resultats.csv", the name being the questionnaire's without its last extension
    // ("questionnaire" for one never saved).
    static QString pathFor(const QString &folder, const QString &questionnairePath);
    // The n-th file of the series: `path` itself for 1, then, taken when the first one's
    // questions are no longer the questionnaire's, "x-resultats-2.csv" and so on.
    static QString numberedPath(const QString &path, int number);
    // The lock that every writer of `path`'s series holds while adding a run.
    static QString lockPath(const QString &path);

    // What a question's column holds for a run: the answer's number ("3"), as it always has; the
    // answers ticked joined by "+" ("2+4") when there are several, which a spreadsheet shows
    // as text and which a reader taking the column for one number finds no number in, so
    // counts as no answer rather than as a wrong one; empty when none was ticked; "-" when the
    // pupil's version did not hold the question.
    static QString answerCell(const RunResultRow &row);
    static QString notDrawnCell() { return QStringLiteral("-"); }
    // An answer cell read back: numbers of digits alone, joined by "+", spaces around them
    // passed over. A cell that names no answer (damaged by a hand edit) is no answer; a number
    // past 5 is an answer no question has.
    struct Answer
    {
        bool drawn = true;
        AnswerSet ticked = 0;
    };
    static Answer answerOf(const QString &cell);

    static QStringList header(const RunResults &results);
    static QStringList row(const KeptRun &run);
    // "essai", "poste", "réseau", "papier", "direct": the Way column's words.
    static QString wayText(KeptRun::Way way);
    // The State column of an unfinished run.
    static QString unfinishedText();
    // The State column of a run the teacher removed from the class.
    static QString removedText();
    // The State column of a run whose time ran out.
    static QString timeUpText();

    // Adds the run at the end of the file at `path` (made when missing), or of the first
    // numbered file whose questions are the run's when those of `path` are not. Throws Busy
    // when another writer keeps the series locked past `wait`, Refused when the place cannot be
    // written.
    static Saved append(const QString &path, const KeptRun &run, const LockWait &wait);
    // The same, waiting the usual time without doing anything else meanwhile.
    static Saved append(const QString &path, const KeptRun &run);

    // The file, checked to be ours; throws when it is not, or cannot be read.
    static ResultsSheet read(const QString &path);
    // The first file of `path`'s series (itself or a numbered one) whose header names these
    // questions; empty when none does. `sheet`, when given, gets the runs of every such file of
    // the series: a file begun before marks were kept and the one continuing it after.
    static QString findFor(const QString &path, const QStringList &questions, ResultsSheet *sheet = nullptr);
};
