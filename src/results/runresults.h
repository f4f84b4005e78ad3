#pragma once

#include "classroom/classscore.h"

#include <QString>

#include <optional>
#include <vector>

// One row of the results: the question, what was answered and what was right.
struct RunResultRow
{
    QString title;
    int answer = 0;                 // 0 when unanswered; the first answer ticked of several
    AnswerSet ticked = 0;           // every answer ticked
    // False when the pupil's version did not hold the question (questions drawn per pupil):
    // neither answered nor blank, and never counted in the question's statistics.
    bool drawn = true;
    std::optional<int> solution;    // none when the "REPONSE " line holds no whole number
    bool right = false;
};

struct RunResults
{
    std::vector<RunResultRow> rows; // question i + 1 on rows[i]
    int rightCount = 0;
    // The mark a class run of the same answers gets under the questionnaire's settings: kept
    // with the run, so a rehearsal's results file also tells the mark.
    ClassScore mark;
};
