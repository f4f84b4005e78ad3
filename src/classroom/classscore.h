#pragma once

#include "classroom/classquestionnaire.h"

#include <QString>

#include <vector>

// What a pupil's answers are worth under a questionnaire's settings. Answers are given in the
// questionnaire's own numbering (question by number, answer 1 to 5, 0 for none), whatever order
// the pupil saw, so every way a class answers is marked by this one rule.
struct ClassScore
{
    enum class Outcome { Right, Wrong, Unanswered, NotMarked };

    std::vector<Outcome> outcomes; // by question number
    // What each question earned, by question number: 1 when right, a share of it for a partly
    // right question with several right answers, less than 0 for a wrong answer under the
    // chance penalty, 0 otherwise.
    std::vector<double> questionPoints;
    int markedCount = 0;           // questions with a right answer: what the mark is out of
    int rightCount = 0;
    int wrongCount = 0;
    int unansweredCount = 0;       // among the marked questions
    double points = 0;             // right answers, less the penalties, never below 0
    // By question number, whether the pupil's version held the question (questions drawn per
    // pupil); empty when it held them all. A question not held is NotMarked and counts nowhere.
    std::vector<bool> held;
    int markScale = 20;
    // The mark out of markScale, rounded to the settings' step; 0 when no question is marked.
    double mark = 0;

    // "13,5 / 20"
    QString markText() const;
    bool asked(int question) const
    {
        return held.empty() ? question >= 0 && size_t(question) < outcomes.size()
                            : question >= 0 && size_t(question) < held.size() && held[size_t(question)];
    }
    // The questions the pupil was asked, marked or not.
    int askedCount() const;
};

namespace ClassMarking {

struct QuestionMark
{
    // Right only when exactly the right answers are ticked; Wrong for any other ticks, even
    // those that earn a share.
    ClassScore::Outcome outcome = ClassScore::Outcome::NotMarked;
    double points = 0;
};

// The one rule every way a class answers is marked by. A one-answer question: 1 for its right
// answer, under the chance penalty -1/(k-1) for a wrong one among k answers (several ticks are
// wrong). A question with several right answers: all or nothing, or with partial credit 1/r for
// each of its r right answers ticked and -1/w for each of its w wrong ones, never below 0; the
// chance penalty does not apply to it (partial credit's own share plays that part). Blank is 0.
QuestionMark markQuestion(const ClassQuestion &question, const ClassSettings &settings, AnswerSet ticked);

// Answers by question number, the ticks of each question as a set. `held` says, by question
// number, which questions the pupil's version held (ClassVersion::held()); empty for all of
// them. The mark is out of the marked questions held.
ClassScore score(const ClassQuestionnaire &questionnaire, const ClassSettings &settings,
                 const std::vector<AnswerSet> &ticked, const std::vector<bool> &held = {});
// One answer a question (1 to 5, 0 for none), as every one-answer way of answering gives them.
ClassScore score(const ClassQuestionnaire &questionnaire, const ClassSettings &settings,
                 const std::vector<int> &answers, const std::vector<bool> &held = {});

// `value` rounded to the nearest multiple of `stepHundredths` hundredths, halves up.
double roundToStep(double value, int stepHundredths);

// A mark with the decimal comma and no useless zeros: "13,5", "14", "12,25".
QString numberText(double value);

} // namespace ClassMarking
