#include "results/resultsrunkeeper.h"

ResultsRunKeeper::ResultsRunKeeper(std::shared_ptr<const ClassQuestionnaire> questionnaire, QString resultsPath,
                                   ResultsFile::LockWait wait)
    : m_questionnaire(std::move(questionnaire)), m_path(std::move(resultsPath)), m_wait(std::move(wait))
{
}

QString ResultsRunKeeper::keep(const ClassRunRecord &record)
{
    const ResultsFile::Saved saved = ResultsFile::append(m_path, keptRun(*m_questionnaire, record), m_wait);
    if (!saved.notice.isEmpty() && !m_notices.contains(saved.notice))
        m_notices << saved.notice;
    return saved.path;
}

KeptRun::Way ResultsRunKeeper::keptWay(ClassRunRecord::Way way)
{
    switch (way) {
    case ClassRunRecord::Way::Computer: return KeptRun::Way::Computer;
    case ClassRunRecord::Way::Network: return KeptRun::Way::Network;
    case ClassRunRecord::Way::Paper: return KeptRun::Way::Paper;
    case ClassRunRecord::Way::Live: return KeptRun::Way::Live;
    }
    return KeptRun::Way::Computer;
}

KeptRun ResultsRunKeeper::keptRun(const ClassQuestionnaire &questionnaire, const ClassRunRecord &record)
{
    KeptRun run;
    run.when = record.started;
    run.pupil = record.pupil;
    run.results.rows.resize(size_t(questionnaire.size()));
    for (const ClassQuestion &question : questionnaire.questions()) {
        RunResultRow &row = run.results.rows[size_t(question.number)];
        row.title = question.title;
        const size_t number = size_t(question.number);
        row.answer = number < record.answers.size() ? record.answers[number] : 0;
        row.ticked = number < record.ticked.size() ? record.ticked[number] : AnswerSets::of(row.answer);
        row.solution = question.rightAnswer;
        // The score knows which questions the pupil's version held (none missing without a draw).
        row.drawn = record.score.held.empty() || record.score.asked(question.number);
        row.right = number < record.score.outcomes.size()
                        ? record.score.outcomes[number] == ClassScore::Outcome::Right
                        : row.answer > 0 && row.solution == row.answer;
    }
    run.results.rightCount = record.score.rightCount;
    run.results.mark = record.score;
    run.way = keptWay(record.way);
    run.seed = record.seed;
    run.durationSeconds = record.durationSeconds;
    run.finished = record.finished;
    run.removed = record.removed;
    run.timedOut = record.timedOut;
    run.copy = record.copy;
    return run;
}
