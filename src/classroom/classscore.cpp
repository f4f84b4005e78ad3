#include "classroom/classscore.h"

#include <cmath>

QString ClassScore::markText() const
{
    return ClassMarking::numberText(mark) + QStringLiteral(" / ") + QString::number(markScale);
}

namespace ClassMarking {

ClassScore score(const ClassQuestionnaire &questionnaire, const ClassSettings &settings,
                 const std::vector<int> &answers)
{
    ClassScore result;
    result.markScale = settings.markScale;
    result.outcomes.resize(size_t(questionnaire.size()), ClassScore::Outcome::NotMarked);
    double points = 0;
    for (const ClassQuestion &question : questionnaire.questions()) {
        if (!question.marked())
            continue;
        ++result.markedCount;
        const size_t n = size_t(question.number);
        const int answer = n < answers.size() ? answers[n] : 0;
        ClassScore::Outcome &outcome = result.outcomes[n];
        if (answer == 0) {
            outcome = ClassScore::Outcome::Unanswered;
            ++result.unansweredCount;
        } else if (answer == *question.rightAnswer) {
            outcome = ClassScore::Outcome::Right;
            ++result.rightCount;
            points += 1;
        } else {
            outcome = ClassScore::Outcome::Wrong;
            ++result.wrongCount;
            // Guessing among k answers then earns nothing on average.
            const int choices = int(question.answerNumbers().size());
            if (settings.penalty == ClassSettings::Penalty::Chance && choices > 1)
                points -= 1.0 / (choices - 1);
        }
    }
    result.points = std::max(0.0, points);
    if (result.markedCount > 0)
        result.mark = roundToStep(result.points * settings.markScale / result.markedCount, settings.roundingHundredths);
    return result;
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
