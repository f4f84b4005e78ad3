#pragma once

#include "classroom/classquestionnaire.h"

#include <QCoreApplication>
#include <QString>

#include <vector>

class SeededRandom;

// Which questions one version holds when the settings draw them: a number of questions among
// all, or one question from each group with every question outside a group. Widget-free, so the
// versions, the class settings dialog and the paper copies agree on it.
class ClassDraw
{
    Q_DECLARE_TR_FUNCTIONS(ClassDraw)

public:
    // The questions of one group, by number, in the questionnaire's order.
    struct Group
    {
        QString name; // as its first question writes it
        std::vector<int> questions;
    };

    // The questionnaire's groups in the order their first questions come, and, apart, the
    // questions that name none.
    struct Groups
    {
        std::vector<Group> groups;
        std::vector<int> ungrouped;
    };
    static Groups groupsOf(const ClassQuestionnaire &questionnaire);

    // The questions a version holds, by number, in the questionnaire's order; every question
    // without a draw. The draw takes its numbers from `random`, first of all its uses.
    static std::vector<int> drawn(const ClassQuestionnaire &questionnaire, const ClassSettings &settings,
                                  SeededRandom &random);

    // How many questions each version holds under the settings.
    static int heldCount(const ClassQuestionnaire &questionnaire, const ClassSettings &settings);

    // What each pupil is asked, for the teacher: "12 questions", "5 questions tirées parmi 40",
    // "1 question de chaque groupe (4 groupes) et 2 hors groupe".
    static QString describe(const ClassQuestionnaire &questionnaire, const ClassSettings &settings);

    // Why the settings' draw cannot be made from a questionnaire of `questions` questions in
    // `groups` groups (a French sentence), or empty.
    static QString problem(const ClassSettings &settings, int questions, int groups);
    static QString problem(const ClassSettings &settings, const ClassQuestionnaire &questionnaire);
};
