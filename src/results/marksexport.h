#pragma once

#include "results/resultsstatistics.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <vector>

// A class's marks for the school's grade book: one row per pupil, name and mark, in a table any
// spreadsheet or grade-book import reads ("Nom;Note / 20", semicolons, UTF-8 with its mark),
// sorted by name as a French class list is.
//
// A pupil is a name (spaces and letter case aside): the runs kept without a name are left out.
// A run the session stopped before the pupil finished is left out unless the teacher counts
// it. Marks are on the questionnaire's scale of today: a run kept on another scale is brought
// to it.
class MarksExport
{
    Q_DECLARE_TR_FUNCTIONS(MarksExport)

public:
    enum class Choice { Latest, Best };
    struct Options
    {
        Choice choice = Choice::Latest;
        bool countUnfinished = false;
        // Every mark worked out again from the answers, with the right answers and settings of
        // today (a wrong key mended since the runs), instead of the marks kept.
        bool recompute = false;
    };

    struct Row
    {
        QString name;
        double mark = 0;
    };
    struct Table
    {
        int scale = 20;
        std::vector<Row> rows;
        int withoutName = 0;          // runs left out
        int unfinishedLeftOut = 0;    // runs left out
        int withoutMark = 0;          // runs no question of which counts
        // Pupils whose every run was left unfinished: they have no row.
        QStringList onlyUnfinished;
    };

    // Throws AppError when no run has a mark to export.
    static Table of(const ResultsStatistics &statistics, const Options &options);

    static QByteArray csv(const Table &table);
    // Throws when `path` holds a results file: the marks are easily written again, the runs it
    // holds are not.
    static void checkTarget(const QString &path);
    // The file at `path`, written whole or not at all, after checkTarget().
    static void write(const QString &path, const Table &table);
    // What was written, and what was left out and why.
    static QString summary(const Table &table, const QString &path);
};
