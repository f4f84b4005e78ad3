#pragma once

#include "runner/runsession.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

// One run as it is kept: when, who, and the results of every question.
struct KeptRun
{
    QDateTime when;
    QString pupil;   // may be empty: the name is optional
    RunResults results;
};

// A results file as read back: the questions its header names, then one row per run
// (date, time, name, right answers, questions, then the answer to each question, empty when
// none was given).
struct ResultsSheet
{
    QStringList questions;            // "1. Titre" ... as in the header
    std::vector<QStringList> runs;    // each as many fields as the header, missing ones empty
};

// The file of kept results beside a questionnaire, "<questionnaire>-resultats.csv", opened by
// any spreadsheet. A run is added by rewriting the file whole through a temporary file, so an
// earlier row is never lost, even when the disk fills up half-way. A file whose header is not
// ours is never touched; a file begun when the questionnaire had other questions is left as it
// is and the run goes to a new file ("-resultats-2.csv", and so on), so that its columns never
// mix two versions of the questionnaire.
//
// Failures throw AppError with a French message.
class ResultsFile
{
    Q_DECLARE_TR_FUNCTIONS(ResultsFile)

public:
    // The columns before the questions'.
    enum FixedColumn { DateColumn, TimeColumn, NameColumn, RightColumn, CountColumn, FixedColumnCount };
    // A results file bigger than this is no file of ours (a million runs would not reach it).
    static constexpr qint64 MaxSize = qint64(64) * 1024 * 1024;

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

    static QStringList header(const RunResults &results);
    static QStringList row(const KeptRun &run);

    // Adds the run at the end of the file at `path` (made when missing), or of the first
    // numbered file whose questions are the run's when those of `path` are not.
    static Saved append(const QString &path, const KeptRun &run);

    // The file, checked to be ours; throws when it is not, or cannot be read.
    static ResultsSheet read(const QString &path);
    // The file of `path`'s series (itself or a numbered one) whose header names these
    // questions, its content in `sheet` when given; empty when none does.
    static QString findFor(const QString &path, const QStringList &questions, ResultsSheet *sheet = nullptr);

private:
    enum class Kind { Missing, Matching, Stale };
    static Kind kindOf(const QString &path, const QStringList &expectedHeader, QByteArray *bytes);
};
