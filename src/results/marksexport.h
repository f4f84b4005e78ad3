#pragma once

#include "results/pupilcopies.h"
#include "results/resultsstatistics.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A class's marks for the school's grade book, in a table any spreadsheet or grade-book import
// reads (semicolons, UTF-8 with its mark).
//
// With a class list, one row per pupil of the list in the list's order, so that the mark column
// pastes straight beside the school's own list: "Nom", "Prénom" when the list writes surnames in
// capitals before the first names (as school software exports them), "Classe", the mark, and
// "ABS" (or nothing, as the teacher chooses) for a pupil without a copy that counts. Without a
// list, one row per pupil who has a copy, sorted by name as a French class list is. Either way
// a last column says which copy gave the mark (its date and way), for the teacher to check and
// delete before pasting.
//
// Which copy stands for a pupil is PupilCopies' rule: a removed copy never counts, an unfinished
// one only for a pupil who finished none and only when asked. Copies kept without a name are left
// out. Marks are on the questionnaire's scale of today: a copy kept on another scale is brought
// to it.
class MarksExport
{
    Q_DECLARE_TR_FUNCTIONS(MarksExport)

public:
    using Choice = PupilCopies::Rule;
    struct Options
    {
        Choice choice = Choice::LatestFinished;
        bool countUnfinished = false;
        // Every mark worked out again from the answers, with the right answers and settings of
        // today (a wrong key mended since the runs), instead of the marks kept.
        bool recompute = false;
        // The class list, in its order ("NOM Prénom" names), and its name; no list: empty.
        QString className;
        QStringList classList;
        // What a listed pupil without a copy gets in the mark column: "ABS", else nothing.
        bool absentAsAbs = true;
    };

    struct Row
    {
        QString name;       // the whole name
        QString surname;    // the list's surname and first names, when the list has them apart
        QString firstName;
        std::optional<double> mark; // none: no copy counts
        QString copy;       // which copy gave the mark, or why there is none
    };
    struct Table
    {
        int scale = 20;
        bool fromClassList = false;
        QString className;
        bool firstNamesApart = false;
        bool absentAsAbs = true;
        std::vector<Row> rows;
        int withoutName = 0;          // runs left out
        int unfinishedLeftOut = 0;    // runs left out
        int withoutMark = 0;          // runs no question of which counts
        int removed = 0;              // runs the teacher removed
        int absent = 0;               // listed pupils without a mark
        // Pupils whose every run was left unfinished: they have no mark.
        QStringList onlyUnfinished;
        // Pupils with a mark whose name is not on the class list: not in the file.
        QStringList notOnList;
    };

    // Throws AppError when no run has a mark to export.
    static Table of(const ResultsStatistics &statistics, const Options &options);
    // A "NOM Prénom" name into its surname (the leading words in capitals) and first names; none
    // when the name does not read so ("Léa", "Hugo Nguyen", "NGUYEN").
    static std::optional<std::pair<QString, QString>> splitName(const QString &name);
    // The rule's words, as the dialog and the help name it.
    static QString choiceText(Choice choice);
    // How many of `names` have a named copy among the runs: the class list a file belongs to is
    // the one that covers most of its pupils.
    static int pupilsFound(const ResultsStatistics &statistics, const QStringList &names);

    static QByteArray csv(const Table &table);
    // Throws when `path` holds a results file: the marks are easily written again, the runs it
    // holds are not.
    static void checkTarget(const QString &path);
    // The file at `path`, written whole or not at all, after checkTarget().
    static void write(const QString &path, const Table &table);
    // What was written, and what was left out and why.
    static QString summary(const Table &table, const QString &path);
};
