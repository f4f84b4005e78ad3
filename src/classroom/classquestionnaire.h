#pragma once

#include "document/classsettings.h"
#include "document/qcmformat.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

// Answers 1 to 5 as bits (answer k is bit k - 1): what a pupil ticked on a question, or the
// right answers of a question that has several.
using AnswerSet = quint8;

namespace AnswerSets {
// The set of one answer; an answer that is none of 1 to 5 (0 excepted, which is no answer)
// gives OutOfRange, which is never right.
inline constexpr AnswerSet OutOfRange = 0x80;
AnswerSet of(int answer);
int count(AnswerSet set);
bool contains(AnswerSet set, int answer);
// The first answer of the set (1 to 5), 0 when it has none.
int first(AnswerSet set);
} // namespace AnswerSets

// One question as a class takes it: its fields, its free text split into the statement shown
// with it and the correction shown after the end, and its right answer when it has one that can
// be marked.
struct ClassQuestion
{
    int number = 0;    // 0-based, in the questionnaire's own order
    bool found = false; // false when the questionnaire has no block for this number
    QString title;
    // The group its title names ("[Fractions] ..."), empty for none: what a draw of one
    // question from each group draws from.
    QString group;
    QString picture;   // as stored
    std::array<QString, QcmFormat::AnswerCount> answers;
    // 1 to 5, naming an answer that has a text; none when the "REPONSE " line holds no such
    // number: the question is shown but never marked.
    std::optional<int> rightAnswer;
    // Every right answer when the question has several (the "REPONSE " line names the first),
    // none for a one-answer question.
    AnswerSet rightAnswers = 0;
    // What a pupil who chose answer i + 1 reads after answering; empty for none.
    std::array<QString, QcmFormat::AnswerCount> feedback;
    QStringList statement;
    QStringList correction;
    // The correction without the lines of right answers and feedback: what an end view shows
    // beside them when it lays them out answer by answer.
    QStringList ownCorrection;

    // The answers with a text, by their number (1 to 5), in order.
    std::vector<int> answerNumbers() const;
    bool marked() const { return rightAnswer.has_value(); }
    bool severalRight() const { return AnswerSets::count(rightAnswers) >= 2; }
};

// A questionnaire read once for a class: every question by number, and its settings. Read in one
// pass over the lines, so a 10,000-question questionnaire costs no more than reading it.
class ClassQuestionnaire
{
public:
    static ClassQuestionnaire fromLines(const QStringList &lines);

    const std::vector<ClassQuestion> &questions() const { return m_questions; }
    int size() const { return int(m_questions.size()); }
    const ClassQuestion &question(int number) const { return m_questions[size_t(number)]; }
    // Questions with a right answer: what a mark is out of.
    int markedCount() const;
    const ClassSettings &settings() const { return m_settings; }

    // Sixteen hexadecimal digits that change whenever a question, an answer, a right answer or
    // the order of the questions changes: a results file or a printed copy names the
    // questionnaire it was made for.
    QString fingerprint() const;

private:
    std::vector<ClassQuestion> m_questions;
    ClassSettings m_settings;
};
