#include "marking/boxdecision.h"

#include <cstddef>

using std::size_t;

namespace BoxDecision {

BoxState state(const BoxMeasure &measure)
{
    if (measure.coverage >= TickedCoverage || measure.mean >= TickedMean)
        return BoxState::Ticked;
    if (measure.coverage <= EmptyCoverage && measure.mean <= EmptyMean)
        return BoxState::Empty;
    return BoxState::Doubtful;
}

QuestionReading read(const std::vector<BoxMeasure> &boxes)
{
    std::vector<int> ticked, doubtful;
    for (int i = 0; i < int(boxes.size()); ++i) {
        const BoxState s = state(boxes[size_t(i)]);
        if (s == BoxState::Ticked)
            ticked.push_back(i);
        else if (s == BoxState::Doubtful)
            doubtful.push_back(i);
    }
    QuestionReading reading;
    if (ticked.size() > 1) {
        reading.kind = QuestionReading::Kind::Doubtful;
        reading.doubt = QuestionReading::Doubt::SeveralTicked;
        return reading;
    }
    if (ticked.size() == 1) {
        reading.chosen = ticked.front();
        const BoxMeasure &chosen = boxes[size_t(reading.chosen)];
        bool rubbedOut = true;
        for (int i : doubtful) {
            const BoxMeasure &other = boxes[size_t(i)];
            rubbedOut = rubbedOut && other.mean < RubbedOutShare * chosen.mean && other.coverage < RubbedOutCoverage;
        }
        reading.kind = rubbedOut ? QuestionReading::Kind::Answered : QuestionReading::Kind::Doubtful;
        reading.doubt = rubbedOut ? QuestionReading::Doubt::None : QuestionReading::Doubt::Unclear;
        return reading;
    }
    if (doubtful.empty())
        return reading;
    // Nothing clearly ticked, something unclear: the darkest unclear box is offered.
    reading.kind = QuestionReading::Kind::Doubtful;
    reading.doubt = QuestionReading::Doubt::Unclear;
    reading.chosen = doubtful.front();
    for (int i : doubtful) {
        if (boxes[size_t(i)].mean > boxes[size_t(reading.chosen)].mean)
            reading.chosen = i;
    }
    return reading;
}

} // namespace BoxDecision
