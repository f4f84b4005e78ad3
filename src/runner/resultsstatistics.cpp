#include "runner/resultsstatistics.h"

double ResultsStatistics::shareRight(size_t question) const
{
    return pupils.empty() ? 0.0 : double(questions.at(question).right) / double(pupils.size());
}

ResultsStatistics ResultsStatistics::of(const ResultsSheet &sheet, const std::vector<std::optional<int>> &solutions)
{
    ResultsStatistics statistics;
    statistics.questions.resize(size_t(sheet.questions.size()));
    for (size_t q = 0; q < statistics.questions.size(); ++q) {
        statistics.questions[q].caption = sheet.questions.at(qsizetype(q));
        if (q < solutions.size())
            statistics.questions[q].solution = solutions[q];
    }
    statistics.pupils.reserve(sheet.runs.size());
    for (const QStringList &run : sheet.runs) {
        Pupil pupil{run.at(ResultsFile::DateColumn), run.at(ResultsFile::TimeColumn), run.at(ResultsFile::NameColumn),
                    run.at(ResultsFile::RightColumn).toInt(), run.at(ResultsFile::CountColumn).toInt()};
        for (size_t q = 0; q < statistics.questions.size(); ++q) {
            bool ok = false;
            const int answer = run.at(ResultsFile::FixedColumnCount + qsizetype(q)).trimmed().toInt(&ok);
            if (!ok || answer <= 0)
                continue;
            Question &question = statistics.questions[q];
            ++question.answered;
            if (answer <= int(question.chosen.size()))
                ++question.chosen[size_t(answer - 1)];
            if (question.solution == answer)
                ++question.right;
        }
        statistics.pupils.push_back(std::move(pupil));
    }
    return statistics;
}
