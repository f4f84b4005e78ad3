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

// The run's answer cells in the questionnaire's numbering: the answers ticked, and whether its
// version held each question.
void readAnswers(const QStringList &run, size_t questions, ResultsStatistics::Pupil &pupil)
{
    pupil.answers.assign(questions, 0);
    pupil.ticked.assign(questions, 0);
    pupil.drawn.assign(questions, true);
    for (size_t q = 0; q < questions; ++q) {
        const qsizetype column = ResultsFile::FixedColumnCount + qsizetype(q);
        if (column >= run.size())
            break;
        const ResultsFile::Answer answer = ResultsFile::answerOf(run.at(column));
        pupil.drawn[q] = answer.drawn;
        pupil.ticked[q] = answer.ticked;
        pupil.answers[q] = AnswerSets::first(answer.ticked);
    }
}

// What the run's answers are worth today: each question's points, and the mark, out of the
// marked questions its version held.
void markAgain(const ClassQuestionnaire &questionnaire, const ClassSettings &settings, ResultsStatistics::Pupil &pupil)
{
    ClassScore score = ClassMarking::score(questionnaire, settings, pupil.ticked);
    const size_t questions = pupil.ticked.size();
    score.questionPoints.resize(questions, 0.0);
    score.outcomes.resize(questions, ClassScore::Outcome::NotMarked);
    if (std::find(pupil.drawn.cbegin(), pupil.drawn.cend(), false) != pupil.drawn.cend()) {
        // The questions the version left out are neither blank nor wrong: the mark is out of the
        // others, as the run itself was marked.
        int marked = 0;
        double points = 0;
        for (size_t q = 0; q < questions; ++q) {
            if (!pupil.drawn[q]) {
                score.questionPoints[q] = 0;
                score.outcomes[q] = ClassScore::Outcome::NotMarked;
            } else if (q < size_t(questionnaire.size()) && questionnaire.question(int(q)).marked()) {
                ++marked;
                points += score.questionPoints[q];
            }
        }
        score.markedCount = marked;
        if (marked > 0)
            score.mark = ClassMarking::roundToStep(std::max(0.0, points) * settings.markScale / marked,
                                                   settings.roundingHundredths);
    }
    if (score.markedCount > 0)
        pupil.currentMark = score.mark;
    pupil.points = std::move(score.questionPoints);
    pupil.outcomes = std::move(score.outcomes);
}

} // namespace

double ResultsStatistics::shareRight(size_t question) const
{
    const Question &counted = questions.at(question);
    return counted.taken == 0 ? 0.0 : double(counted.right) / double(counted.taken);
}

double ResultsStatistics::shareTicking(size_t question, int answer) const
{
    const Question &counted = questions.at(question);
    if (counted.taken == 0 || answer < 1 || answer > int(counted.chosen.size()))
        return 0.0;
    return double(counted.chosen[size_t(answer - 1)]) / double(counted.taken);
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
        if (q < size_t(questionnaire.size())) {
            const ClassQuestion &asked = questionnaire.question(int(q));
            question.solution = asked.rightAnswer;
            question.rightAnswers = asked.severalRight() ? asked.rightAnswers
                                    : asked.rightAnswer ? AnswerSets::of(*asked.rightAnswer)
                                                        : AnswerSet(0);
            question.offered = 0;
            for (const int a : asked.answerNumbers())
                question.offered |= AnswerSets::of(a);
        }
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

        readAnswers(run, questionCount, pupil);
        markAgain(questionnaire, settings, pupil);
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
        question.taken = 0;
        question.answered = 0;
        question.right = 0;
        question.chosen.fill(0);
        marked[q] = question.marked();
    }
    // Each counted run's share of each question's point: a penalty for a wrong answer lowers the
    // mark, but says nothing more of the question than the wrong answer does.
    std::vector<std::vector<double>> scores;
    std::vector<double> markList;
    for (const Pupil &pupil : pupils) {
        if (!pupil.counted)
            continue;
        std::vector<double> scoresHere(questionCount, 0.0);
        for (size_t q = 0; q < questionCount; ++q) {
            if (!pupil.held(q)) {
                scoresHere[q] = ItemAnalysis::NotTaken;
                continue;
            }
            Question &question = questions[q];
            ++question.taken;
            const AnswerSet ticked = q < pupil.ticked.size() ? pupil.ticked[q] : AnswerSet(0);
            if (ticked == 0)
                continue;
            ++question.answered;
            for (int a = 1; a <= int(question.chosen.size()); ++a) {
                if (AnswerSets::contains(ticked, a))
                    ++question.chosen[size_t(a - 1)];
            }
            if (q < pupil.outcomes.size() && pupil.outcomes[q] == ClassScore::Outcome::Right)
                ++question.right;
            if (q < pupil.points.size())
                scoresHere[q] = std::clamp(pupil.points[q], 0.0, 1.0);
        }
        scores.push_back(std::move(scoresHere));
        if (const std::optional<double> mark = markOnScale(pupil))
            markList.push_back(*mark);
    }

    const ItemAnalysis analysis = ItemAnalysis::of(scores, marked);
    for (size_t q = 0; q < questionCount; ++q)
        questions[q].analysis = analysis.items[q];
    marks = MarkSummary::of(markList, scale);
}
