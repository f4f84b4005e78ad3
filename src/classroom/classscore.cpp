#include "classroom/classscore.h"

#include <algorithm>
#include <cmath>

QString ClassScore::markText() const
{
    return ClassMarking::numberText(mark) + QStringLiteral(" / ") + QString::number(markScale);
}

int ClassScore::askedCount() const
{
    return held.empty() ? int(outcomes.size()) : int(std::count(held.begin(), held.end(), true));
}

namespace ClassMarking {

QuestionMark markQuestion(const ClassQuestion &question, const ClassSettings &settings, AnswerSet ticked)
{
    QuestionMark mark;
    if (!question.marked())
        return mark;
    using Outcome = ClassScore::Outcome;
    if (ticked == 0) {
        mark.outcome = Outcome::Unanswered;
        return mark;
    }
    if (!question.severalRight()) {
        const bool right = ticked == AnswerSets::of(*question.rightAnswer);
        mark.outcome = right ? Outcome::Right : Outcome::Wrong;
        // Guessing among k answers then earns nothing on average.
        const int choices = int(question.answerNumbers().size());
        if (right)
            mark.points = 1;
        else if (settings.penalty == ClassSettings::Penalty::Chance && choices > 1)
            mark.points = -1.0 / (choices - 1);
        return mark;
    }
    const AnswerSet right = question.rightAnswers;
    mark.outcome = ticked == right ? Outcome::Right : Outcome::Wrong;
    if (settings.severalMarking == ClassSettings::SeveralMarking::AllOrNothing) {
        mark.points = ticked == right ? 1 : 0;
        return mark;
    }
    int rightCount = 0;
    int wrongCount = 0;
    int rightTicked = 0;
    int wrongTicked = 0;
    for (const int a : question.answerNumbers()) {
        const bool isRight = AnswerSets::contains(right, a);
        (isRight ? rightCount : wrongCount) += 1;
        if (AnswerSets::contains(ticked, a))
            (isRight ? rightTicked : wrongTicked) += 1;
    }
    // A tick on an answer the question does not have takes its share like a wrong one.
    if ((ticked & AnswerSets::OutOfRange) != 0)
        wrongTicked += 1;
    double points = double(rightTicked) / rightCount;
    if (wrongTicked > 0)
        points -= double(wrongTicked) / std::max(wrongCount, 1);
    mark.points = std::max(0.0, points);
    return mark;
}

ClassScore score(const ClassQuestionnaire &questionnaire, const ClassSettings &settings,
                 const std::vector<AnswerSet> &ticked, const std::vector<bool> &held)
{
    ClassScore result;
    result.markScale = settings.markScale;
    result.held = held;
    if (!result.held.empty())
        result.held.resize(size_t(questionnaire.size()), false);
    result.outcomes.resize(size_t(questionnaire.size()), ClassScore::Outcome::NotMarked);
    result.questionPoints.resize(size_t(questionnaire.size()), 0.0);
    double points = 0;
    for (const ClassQuestion &question : questionnaire.questions()) {
        if (!question.marked() || !result.asked(question.number))
            continue;
        ++result.markedCount;
        const size_t n = size_t(question.number);
        const QuestionMark mark = markQuestion(question, settings, n < ticked.size() ? ticked[n] : AnswerSet(0));
        result.outcomes[n] = mark.outcome;
        result.questionPoints[n] = mark.points;
        points += mark.points;
        switch (mark.outcome) {
        case ClassScore::Outcome::Right:
            ++result.rightCount;
            break;
        case ClassScore::Outcome::Wrong:
            ++result.wrongCount;
            break;
        case ClassScore::Outcome::Unanswered:
            ++result.unansweredCount;
            break;
        case ClassScore::Outcome::NotMarked:
            break;
        }
    }
    result.points = std::max(0.0, points);
    if (result.markedCount > 0)
        result.mark = roundToStep(result.points * settings.markScale / result.markedCount, settings.roundingHundredths);
    return result;
}

ClassScore score(const ClassQuestionnaire &questionnaire, const ClassSettings &settings,
                 const std::vector<int> &answers, const std::vector<bool> &held)
{
    std::vector<AnswerSet> ticked(answers.size(), 0);
    std::transform(answers.cbegin(), answers.cend(), ticked.begin(), AnswerSets::of);
    return score(questionnaire, settings, ticked, held);
}

double roundToStep(double value, int stepHundredths)
{
    if (stepHundredths <= 0)
        return value;
    const double step = stepHundredths / 100.0;
    // A tiny allowance, so that a mark meant to fall exactly halfway (13,25 to the half point)
    // is not sent down by the binary fraction it is held in.
    return std::floor(value / step + 0.5 + 1e-9) * step;
}

QString numberText(double value)
{
    QString text = QString::number(value, 'f', 2);
    while (text.contains(QLatin1Char('.')) && (text.endsWith(QLatin1Char('0')) || text.endsWith(QLatin1Char('.'))))
        text.chop(1);
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

} // namespace ClassMarking
