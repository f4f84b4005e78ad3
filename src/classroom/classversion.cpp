#include "classroom/classversion.h"

#include "classroom/classdraw.h"
#include "classroom/seededrandom.h"

#include <algorithm>
#include <numeric>

ClassVersion ClassVersion::build(const ClassQuestionnaire &questionnaire, const ClassSettings &settings, quint64 seed)
{
    ClassVersion version;
    version.m_seed = seed;
    const int count = questionnaire.size();
    SeededRandom random(seed);
    if (settings.draw == ClassSettings::Draw::None) {
        // Exactly the draws a version took before questions could be drawn: a seed kept then
        // gives the same version now.
        if (settings.shuffleQuestions) {
            version.m_questionOrder = random.permutation(count);
        } else {
            version.m_questionOrder.resize(size_t(count));
            std::iota(version.m_questionOrder.begin(), version.m_questionOrder.end(), 0);
        }
    } else {
        // The questions first, then their order, from the one stream the seed starts.
        const std::vector<int> held = ClassDraw::drawn(questionnaire, settings, random);
        if (settings.shuffleQuestions) {
            const std::vector<int> order = random.permutation(int(held.size()));
            version.m_questionOrder.resize(held.size());
            for (size_t i = 0; i < order.size(); ++i)
                version.m_questionOrder[i] = held[size_t(order[i])];
        } else {
            version.m_questionOrder = held;
        }
        version.m_held.assign(size_t(count), false);
        for (const int n : held)
            version.m_held[size_t(n)] = true;
    }
    version.m_positions.assign(size_t(count), -1);
    for (int position = 0; position < version.size(); ++position)
        version.m_positions[size_t(version.m_questionOrder[size_t(position)])] = position;

    version.m_answerOrder.resize(size_t(count));
    for (int n = 0; n < count; ++n) {
        // A question the version does not hold shows no answer, so none can be given to it.
        if (version.m_positions[size_t(n)] < 0)
            continue;
        std::vector<int> numbers = questionnaire.question(n).answerNumbers();
        // Each question's answers come from a stream of their own, made from the seed and the
        // question's number: they do not depend on how many draws the question order took.
        if (settings.shuffleAnswers) {
            SeededRandom answers(seed ^ (0xA5A5A5A5ull * quint64(n + 1)));
            const std::vector<int> order = answers.permutation(int(numbers.size()));
            std::vector<int> shuffled(numbers.size());
            for (size_t i = 0; i < order.size(); ++i)
                shuffled[i] = numbers[size_t(order[i])];
            numbers = std::move(shuffled);
        }
        version.m_answerOrder[size_t(n)] = std::move(numbers);
    }
    return version;
}

int ClassVersion::answerNumber(int question, int shown) const
{
    const std::vector<int> &order = m_answerOrder[size_t(question)];
    return shown >= 1 && shown <= int(order.size()) ? order[size_t(shown - 1)] : 0;
}

int ClassVersion::shownPlace(int question, int answer) const
{
    const std::vector<int> &order = m_answerOrder[size_t(question)];
    const auto it = std::find(order.begin(), order.end(), answer);
    return it == order.end() ? 0 : int(it - order.begin()) + 1;
}
