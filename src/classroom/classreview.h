#pragma once

#include "classroom/classrun.h"
#include "classroom/classscore.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <vector>

// What a pupil who has finished reads of one question once the corrections may be shown: the
// answers ticked and the right ones (texts, in the order the pupil saw them), the feedback of
// each answer ticked, and the correction. Built from a finished run alone, so the pupils'
// window, the pupils' page and any other end view say the same. Nothing here may be built
// before the settings allow the corrections: it holds the right answers.
struct QuestionReview
{
    struct Feedback
    {
        QString answer; // the text of the answer ticked
        QString text;   // what its author wrote for a pupil who ticked it
    };

    QString title;
    bool several = false; // the question has several right answers
    bool marked = false;
    ClassScore::Outcome outcome = ClassScore::Outcome::NotMarked;
    QStringList given;    // the answers ticked
    QStringList right;    // empty for a question that is not marked
    std::vector<Feedback> feedback;
    QStringList correction; // without the lines of right answers and feedback
};

namespace ClassReview {

// One review per question, in the pupil's order.
std::vector<QuestionReview> of(const ClassRun &run);

// "« 6 »": a text as a pupil reads it in a sentence.
QString quoted(const QString &text);
// "« 6 », « 8 » et « 10 »".
QString quotedList(const QStringList &texts);

} // namespace ClassReview
