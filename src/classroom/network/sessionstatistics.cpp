#include "classroom/network/sessionstatistics.h"

#include "classroom/network/networksession.h"

#include <algorithm>

SessionStatistics SessionStatistics::of(const NetworkSession &session)
{
    SessionStatistics statistics;
    const ClassQuestionnaire &questionnaire = session.questionnaire();
    for (const ClassQuestion &question : questionnaire.questions())
        statistics.marked.push_back(question.marked());
    std::vector<double> marks;
    std::vector<std::vector<double>> scores;
    for (int i = 0; i < session.pupilCount(); ++i) {
        const NetworkPupil &pupil = session.pupil(i);
        // A row the teacher took out of the class never counts.
        if (pupil.removed || (!pupil.finishedAt.isValid() && !session.ended()))
            continue;
        const ClassScore score = pupil.run.score();
        marks.push_back(score.mark);
        // The share of each question's point the pupil earned (partial credit counts), and nothing
        // for a question his draw did not give him: it is neither right nor wrong.
        std::vector<double> row(score.outcomes.size());
        for (size_t q = 0; q < row.size(); ++q) {
            row[q] = !score.asked(int(q)) ? ItemAnalysis::NotTaken
                     : q < score.questionPoints.size() ? std::clamp(score.questionPoints[q], 0.0, 1.0) : 0.0;
        }
        scores.push_back(std::move(row));
    }
    statistics.runs = int(marks.size());
    statistics.marks = MarkSummary::of(marks, session.settings().markScale);
    statistics.items = ItemAnalysis::of(scores, statistics.marked);
    return statistics;
}
