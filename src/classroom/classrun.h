#pragma once

#include "classroom/classquestionnaire.h"
#include "classroom/classscore.h"
#include "classroom/classversion.h"

#include <memory>
#include <vector>

// One pupil's run of a questionnaire, without any window: the pupil's version, the answers
// given (kept in the questionnaire's own numbering, whatever order the pupil saw), and the
// score. The pupil window, the network session and the marking of paper copies all drive it.
class ClassRun
{
public:
    ClassRun(std::shared_ptr<const ClassQuestionnaire> questionnaire, const ClassSettings &settings, quint64 seed);

    const ClassQuestionnaire &questionnaire() const { return *m_questionnaire; }
    const ClassSettings &settings() const { return m_settings; }
    const ClassVersion &version() const { return m_version; }
    int size() const { return m_version.size(); }

    // The question at `position` in the pupil's order, and its answers' texts in the order shown.
    const ClassQuestion &questionAt(int position) const;
    QStringList shownAnswers(int position) const;

    // The pupil chose the answer shown in place `shown` (1-based) of the question at `position`;
    // 0 takes the answer back. A place the question does not have is refused (false), as is any
    // answer once the run is finished.
    bool choose(int position, int shown);
    // The place chosen at `position`, 0 when none.
    int chosenAt(int position) const;

    // An answer in the questionnaire's numbering (a journal read back, a paper copy read): the
    // same checks as choose().
    bool setAnswer(int question, int answer);
    // The answers ticked on a question with several right answers (a one-answer question takes
    // one answer, or none): the same checks as setAnswer() for each of them.
    bool setAnswers(int question, AnswerSet ticked);
    // By question number: the answer (1 to 5) or 0; for ticks on a question with several right
    // answers, the first of them.
    const std::vector<int> &answers() const { return m_answers; }
    // By question number: every answer ticked.
    const std::vector<AnswerSet> &answerSets() const { return m_ticked; }

    // Positions (0-based, in the pupil's order) of the questions still without an answer.
    std::vector<int> unansweredPositions() const;
    int answeredCount() const;

    void finish() { m_finished = true; }
    bool finished() const { return m_finished; }

    ClassScore score() const;

private:
    std::shared_ptr<const ClassQuestionnaire> m_questionnaire;
    ClassSettings m_settings;
    ClassVersion m_version;
    std::vector<int> m_answers;
    std::vector<AnswerSet> m_ticked;
    bool m_finished = false;
};
