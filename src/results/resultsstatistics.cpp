#include "results/resultsstatistics.h"

#include "classroom/classscore.h"
#include "results/pupilcopies.h"

#include <QHash>

#include <algorithm>
#include <cmath>

namespace {

// Marks are kept rounded to a hundredth at most: closer than this, two marks are the same.
constexpr double SameMark = 0.005;

// "13,5" or "13.5"; none for an empty or damaged cell.
std::optional<double> markOf(const QString &cell)
{
    QString text = cell.trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0)
        return std::nullopt;
    return value;
}

// A file begun before the way was kept holds only the author's rehearsals: the F9 runner was
// the one way to keep a run then.
KeptRun::Way wayOf(const QString &cell)
{
    for (KeptRun::Way way : {KeptRun::Way::Computer, KeptRun::Way::Network, KeptRun::Way::Paper, KeptRun::Way::Live}) {
        if (cell == ResultsFile::wayText(way))
            return way;
    }
    return KeptRun::Way::Rehearsal;
}

// The run's answers in the questionnaire's numbering, 0 for none or for a cell that names no
// answer.
std::vector<int> answersOf(const QStringList &run, size_t questions)
{
    std::vector<int> answers(questions, 0);
    for (size_t q = 0; q < questions; ++q) {
        const qsizetype column = ResultsFile::FixedColumnCount + qsizetype(q);
        if (column >= run.size())
            break;
        // toInt() passes over the spaces a hand edit may leave around the number.
        bool ok = false;
        const int answer = run.at(column).toInt(&ok);
        if (ok && answer > 0)
            answers[q] = answer;
    }
    return answers;
}

} // namespace

double ResultsStatistics::shareRight(size_t question) const
{
    const int runs = countedRuns();
    return runs == 0 ? 0.0 : double(questions.at(question).right) / double(runs);
}

int ResultsStatistics::countedRuns() const
{
    return int(std::count_if(pupils.cbegin(), pupils.cend(), [](const Pupil &pupil) { return pupil.counted; }));
}

int ResultsStatistics::unfinishedRuns() const
{
    return int(std::count_if(pupils.cbegin(), pupils.cend(),
                             [](const Pupil &pupil) { return !pupil.finished && !pupil.removed; }));
}

int ResultsStatistics::removedRuns() const
{
    return int(std::count_if(pupils.cbegin(), pupils.cend(), [](const Pupil &pupil) { return pupil.removed; }));
}

std::optional<double> ResultsStatistics::markOnScale(const Pupil &pupil) const
{
    if (!pupil.mark || pupil.scale == scale)
        return pupil.mark;
    if (pupil.scale <= 0)
        return std::nullopt;
    return ClassMarking::roundToStep(*pupil.mark * scale / pupil.scale, roundingHundredths);
}

int ResultsStatistics::changedMarks() const
{
    int changed = 0;
    for (const Pupil &pupil : pupils) {
        if (!pupil.markKept)
            continue;
        const std::optional<double> kept = markOnScale(pupil);
        if (kept.has_value() != pupil.currentMark.has_value() || (kept && std::abs(*kept - *pupil.currentMark) > SameMark))
            ++changed;
    }
    return changed;
}

ResultsStatistics ResultsStatistics::of(const ResultsSheet &sheet, const ClassQuestionnaire &questionnaire,
                                        Counting counting)
{
    ResultsStatistics statistics;
    const ClassSettings &settings = questionnaire.settings();
    statistics.scale = settings.markScale;
    statistics.roundingHundredths = settings.roundingHundredths;
    statistics.counting = counting;
    const size_t questionCount = size_t(sheet.questions.size());
    statistics.questions.resize(questionCount);
    for (size_t q = 0; q < questionCount; ++q) {
        Question &question = statistics.questions[q];
        question.caption = sheet.questions.at(qsizetype(q));
        if (q < size_t(questionnaire.size()))
            question.solution = questionnaire.question(int(q)).rightAnswer;
    }

    statistics.pupils.reserve(sheet.runs.size());
    for (const QStringList &run : sheet.runs) {
        Pupil pupil;
        pupil.date = run.at(ResultsFile::DateColumn);
        pupil.time = run.at(ResultsFile::TimeColumn);
        pupil.name = run.at(ResultsFile::NameColumn);
        pupil.right = run.at(ResultsFile::RightColumn).toInt();
        pupil.count = run.at(ResultsFile::CountColumn).toInt();
        pupil.way = wayOf(run.at(ResultsFile::WayColumn).trimmed());
        const QString state = run.at(ResultsFile::StateColumn).trimmed();
        pupil.removed = state == ResultsFile::removedText();
        pupil.finished = state != ResultsFile::unfinishedText() && !pupil.removed;
        bool seedRead = false;
        const quint64 seed = run.at(ResultsFile::VersionColumn).trimmed().toULongLong(&seedRead, 16);
        if (seedRead)
            pupil.seed = seed;
        pupil.copy = run.at(ResultsFile::CopyColumn).trimmed().toInt();

        pupil.answers = answersOf(run, questionCount);
        const ClassScore score = ClassMarking::score(questionnaire, settings, pupil.answers);
        if (score.markedCount > 0)
            pupil.currentMark = score.mark;
        const std::optional<double> kept = markOf(run.at(ResultsFile::MarkColumn));
        const int keptScale = run.at(ResultsFile::ScaleColumn).trimmed().toInt();
        if (kept && keptScale > 0) {
            pupil.mark = kept;
            pupil.scale = keptScale;
            pupil.markKept = true;
        } else {
            pupil.mark = pupil.currentMark;
            pupil.scale = statistics.scale;
        }
        statistics.pupils.push_back(std::move(pupil));
    }
    statistics.count();
    return statistics;
}

ResultsStatistics ResultsStatistics::countedAs(Counting counting) const
{
    ResultsStatistics statistics = *this;
    statistics.counting = counting;
    statistics.count();
    return statistics;
}

void ResultsStatistics::count()
{
    // The latest finished copy of each named pupil, under OneCopyPerPupil.
    QHash<QString, size_t> latest;
    for (size_t i = 0; i < pupils.size(); ++i) {
        Pupil &pupil = pupils[i];
        pupil.counted = pupil.finished && !pupil.removed;
        const QString key = PupilCopies::pupilKey(pupil.name);
        if (!pupil.counted || counting == Counting::EveryCopy || key.isEmpty())
            continue;
        const auto found = latest.find(key);
        if (found == latest.end()) {
            latest.insert(key, i);
        } else if (PupilCopies::momentOf(pupil, i) > PupilCopies::momentOf(pupils[*found], *found)) {
            pupils[*found].counted = false;
            *found = i;
        } else {
            pupil.counted = false;
        }
    }

    const size_t questionCount = questions.size();
    std::vector<bool> marked(questionCount, false);
    for (size_t q = 0; q < questionCount; ++q) {
        Question &question = questions[q];
        question.answered = 0;
        question.right = 0;
        question.chosen.fill(0);
        marked[q] = question.marked();
    }
    std::vector<std::vector<char>> right;
    std::vector<double> markList;
    for (const Pupil &pupil : pupils) {
        if (!pupil.counted)
            continue;
        std::vector<char> rightHere(questionCount, 0);
        for (size_t q = 0; q < questionCount && q < pupil.answers.size(); ++q) {
            const int answer = pupil.answers[q];
            if (answer == 0)
                continue;
            Question &question = questions[q];
            ++question.answered;
            if (answer <= int(question.chosen.size()))
                ++question.chosen[size_t(answer - 1)];
            if (question.solution == answer) {
                ++question.right;
                rightHere[q] = 1;
            }
        }
        right.push_back(std::move(rightHere));
        if (const std::optional<double> mark = markOnScale(pupil))
            markList.push_back(*mark);
    }

    const ItemAnalysis analysis = ItemAnalysis::of(right, marked);
    for (size_t q = 0; q < questionCount; ++q)
        questions[q].analysis = analysis.items[q];
    marks = MarkSummary::of(markList, scale);
}
