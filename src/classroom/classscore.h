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
    int markedCount = 0;           // questions with a right answer: what the mark is out of
    int rightCount = 0;
    int wrongCount = 0;
    int unansweredCount = 0;       // among the marked questions
    double points = 0;             // right answers, less the penalties, never below 0
    int markScale = 20;
    // The mark out of markScale, rounded to the settings' step; 0 when no question is marked.
    double mark = 0;

    // "13,5 / 20"
    QString markText() const;
};

namespace ClassMarking {

ClassScore score(const ClassQuestionnaire &questionnaire, const ClassSettings &settings,
                 const std::vector<int> &answers);

// `value` rounded to the nearest multiple of `stepHundredths` hundredths, halves up.
double roundToStep(double value, int stepHundredths);

// A mark with the decimal comma and no useless zeros: "13,5", "14", "12,25".
QString numberText(double value);

} // namespace ClassMarking
