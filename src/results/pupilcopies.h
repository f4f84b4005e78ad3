#pragma once

#include "results/resultsstatistics.h"

#include <QString>

#include <optional>
#include <utility>
#include <vector>

// Which of a pupil's kept copies stand for the pupil: the grade book's mark, the class figures
// that count one copy per pupil, the corrected copy handed back. A pupil is a name, whatever the
// spaces and letter case it was typed with. A removed copy never counts; an unfinished one only
// for a pupil who has no finished copy, and only when asked: a later try the session stopped
// never replaces a finished copy.
namespace PupilCopies {

enum class Rule { LatestFinished, Best, Mean };

struct Options
{
    Rule rule = Rule::LatestFinished;
    bool countUnfinished = false;
    // Marks worked out again from the answers with today's right answers and settings.
    bool recompute = false;
};

// One pupil's choice: the copies it rests on (indices into ResultsStatistics::pupils, in time
// order) and the mark they give on the statistics' scale.
struct Chosen
{
    QString key;
    QString name;              // as the latest copy used spells it
    std::vector<size_t> used;  // empty: no copy counts
    std::optional<double> mark;
    bool unfinished = false;   // rests on unfinished copies: the pupil finished none
};

// The key a pupil's copies are found by; empty for a copy without a name.
QString pupilKey(const QString &name);

// When the copy began, then its place in the file: what "latest" sorts by. A date a
// spreadsheet mangled sorts before every readable one, and the file's order decides.
std::pair<qint64, size_t> momentOf(const ResultsStatistics::Pupil &copy, size_t index);

// Every named pupil with a copy that may count (finished, or unfinished when asked), in the
// order of their first copy in the file. Copies without a name or without a mark are left out.
std::vector<Chosen> choose(const ResultsStatistics &statistics, const Options &options);

} // namespace PupilCopies
