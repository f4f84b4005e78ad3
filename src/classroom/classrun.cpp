#include "classroom/classrun.h"

#include <algorithm>

ClassRun::ClassRun(std::shared_ptr<const ClassQuestionnaire> questionnaire, const ClassSettings &settings, quint64 seed)
    : m_questionnaire(std::move(questionnaire)), m_settings(settings),
      m_version(ClassVersion::build(*m_questionnaire, settings, seed)),
      m_answers(size_t(m_questionnaire->size()), 0),
      m_ticked(size_t(m_questionnaire->size()), 0)
{
}

const ClassQuestion &ClassRun::questionAt(int position) const
{
    return m_questionnaire->question(m_version.questionAt(position));
}

QStringList ClassRun::shownAnswers(int position) const
{
    const ClassQuestion &question = questionAt(position);
    QStringList texts;
    for (int number : m_version.shownAnswers(question.number))
        texts << question.answers[size_t(number - 1)];
    return texts;
}

bool ClassRun::choose(int position, int shown)
{
    if (position < 0 || position >= size())
        return false;
    const int question = m_version.questionAt(position);
    if (shown == 0)
        return setAnswer(question, 0);
    const int answer = m_version.answerNumber(question, shown);
    return answer != 0 && setAnswer(question, answer);
}

int ClassRun::chosenAt(int position) const
{
    const int question = m_version.questionAt(position);
    const int answer = m_answers[size_t(question)];
    return answer == 0 ? 0 : m_version.shownPlace(question, answer);
}

bool ClassRun::setAnswer(int question, int answer)
{
    if (m_finished || question < 0 || question >= m_questionnaire->size())
        return false;
    if (answer != 0 && m_version.shownPlace(question, answer) == 0)
        return false;
    m_answers[size_t(question)] = answer;
    m_ticked[size_t(question)] = AnswerSets::of(answer);
    return true;
}

bool ClassRun::setAnswers(int question, AnswerSet ticked)
{
    if (m_finished || question < 0 || question >= m_questionnaire->size())
        return false;
    if ((ticked & AnswerSets::OutOfRange) != 0)
        return false;
    if (AnswerSets::count(ticked) > 1 && !m_questionnaire->question(question).severalRight())
        return false;
    for (int a = 1; a <= QcmFormat::AnswerCount; ++a) {
        if (AnswerSets::contains(ticked, a) && m_version.shownPlace(question, a) == 0)
            return false;
    }
    m_answers[size_t(question)] = AnswerSets::first(ticked);
    m_ticked[size_t(question)] = ticked;
    return true;
}

std::vector<int> ClassRun::unansweredPositions() const
{
    std::vector<int> positions;
    for (int position = 0; position < size(); ++position) {
        if (m_answers[size_t(m_version.questionAt(position))] == 0)
            positions.push_back(position);
    }
    return positions;
}

int ClassRun::answeredCount() const
{
    return int(std::count_if(m_answers.begin(), m_answers.end(), [](int answer) { return answer != 0; }));
}

ClassScore ClassRun::score() const
{
    return ClassMarking::score(*m_questionnaire, m_settings, m_ticked, m_version.held());
}
