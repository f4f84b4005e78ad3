#include "classroom/network/sessionstatistics.h"

#include "classroom/network/networksession.h"

SessionStatistics SessionStatistics::of(const NetworkSession &session)
{
    SessionStatistics statistics;
    const ClassQuestionnaire &questionnaire = session.questionnaire();
    for (const ClassQuestion &question : questionnaire.questions())
        statistics.marked.push_back(question.marked());
    std::vector<double> marks;
    std::vector<std::vector<char>> right;
    for (int i = 0; i < session.pupilCount(); ++i) {
        const NetworkPupil &pupil = session.pupil(i);
        // A row the teacher took out of the class never counts.
        if (pupil.removed || (!pupil.finishedAt.isValid() && !session.ended()))
            continue;
        const ClassScore score = pupil.run.score();
        marks.push_back(score.mark);
        std::vector<char> row(score.outcomes.size());
        for (size_t q = 0; q < row.size(); ++q)
            row[q] = score.outcomes[q] == ClassScore::Outcome::Right ? 1 : 0;
        right.push_back(std::move(row));
    }
    statistics.runs = int(marks.size());
    statistics.marks = MarkSummary::of(marks, session.settings().markScale);
    statistics.items = ItemAnalysis::of(right, statistics.marked);
    return statistics;
}
