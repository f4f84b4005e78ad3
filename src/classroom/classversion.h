#pragma once

#include "classroom/classquestionnaire.h"

#include <QtGlobal>

#include <vector>

// The questions one pupil (or one paper copy) is asked and the order they come in, drawn from a
// seed: the same questionnaire, settings and seed always give the same version, so a version is
// kept or printed as its seed alone. Without a draw a version holds every question; with one,
// only those drawn (ClassDraw), and the others have no position and no answer shown.
class ClassVersion
{
public:
    ClassVersion() = default;
    static ClassVersion build(const ClassQuestionnaire &questionnaire, const ClassSettings &settings, quint64 seed);

    quint64 seed() const { return m_seed; }
    int size() const { return int(m_questionOrder.size()); }

    // The question number shown at `position` (0-based) and back; -1 for a question the
    // version does not hold.
    int questionAt(int position) const { return m_questionOrder[size_t(position)]; }
    int positionOf(int question) const { return m_positions[size_t(question)]; }
    bool holds(int question) const
    {
        return question >= 0 && size_t(question) < m_positions.size() && m_positions[size_t(question)] >= 0;
    }
    // By question number, whether the version holds it; empty when it holds them all (no draw).
    const std::vector<bool> &held() const { return m_held; }

    // The answers of question `question` in the order shown, by their numbers in the
    // questionnaire (1 to 5); only answers with a text are shown.
    const std::vector<int> &shownAnswers(int question) const { return m_answerOrder[size_t(question)]; }
    // The questionnaire's number of the answer shown in place `shown` (1-based), 0 when there is
    // no such place; and the place where answer `answer` is shown, 0 when it is not.
    int answerNumber(int question, int shown) const;
    int shownPlace(int question, int answer) const;

private:
    quint64 m_seed = 0;
    std::vector<int> m_questionOrder;
    std::vector<int> m_positions;
    std::vector<std::vector<int>> m_answerOrder;
    std::vector<bool> m_held;
};
