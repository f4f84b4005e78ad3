#include "marking/boxdecision.h"

#include <cstddef>
#include <utility>

using std::size_t;

namespace BoxDecision {

BoxDoubt doubtOf(const BoxMeasure &measure)
{
    if (measure.coverage >= TickedCoverage || measure.mean >= TickedMean)
        return BoxDoubt::None;
    if (measure.coverage > EmptyCoverage || measure.mean > EmptyMean)
        return BoxDoubt::Unclear;
    if (measure.around >= RingedAround)
        return BoxDoubt::Ringed;
    if (measure.edge >= OnEdgeShare)
        return BoxDoubt::OnEdge;
    if (measure.mean >= FaintMean || measure.peak - measure.mean >= FaintStroke)
        return BoxDoubt::Faint;
    return BoxDoubt::None;
}

BoxState state(const BoxMeasure &measure)
{
    if (measure.coverage >= TickedCoverage || measure.mean >= TickedMean)
        return BoxState::Ticked;
    return doubtOf(measure) == BoxDoubt::None ? BoxState::Empty : BoxState::Doubtful;
}

namespace {

// Whichever way the reading went, `chosen` is the first of the boxes chosen.
QuestionReading &choose(QuestionReading &reading, std::vector<int> boxes)
{
    reading.chosenBoxes = std::move(boxes);
    reading.chosen = reading.chosenBoxes.empty() ? -1 : reading.chosenBoxes.front();
    return reading;
}

QuestionReading readOneAnswer(QuestionReading reading, const std::vector<BoxMeasure> &boxes,
                              const std::vector<int> &ticked, const std::vector<int> &doubtful)
{
    if (ticked.size() > 1) {
        reading.kind = QuestionReading::Kind::Doubtful;
        reading.doubt = QuestionReading::Doubt::SeveralTicked;
        return reading;
    }
    if (ticked.size() == 1) {
        choose(reading, ticked);
        const BoxMeasure &chosen = boxes[size_t(reading.chosen)];
        // Beside a clear fill, a lighter box with hardly any ink is an answer rubbed out, as the
        // copy tells pupils to change one; its outline may be smudged with it. A ring, or ink on
        // the edge of a clean box, is not.
        bool rubbedOut = true;
        for (int i : doubtful) {
            const BoxMeasure &other = boxes[size_t(i)];
            const BoxDoubt why = reading.doubts[size_t(i)];
            const bool smudged = why == BoxDoubt::OnEdge && other.mean >= FaintMean;
            rubbedOut = rubbedOut && (why == BoxDoubt::Unclear || why == BoxDoubt::Faint || smudged)
                        && other.mean < RubbedOutShare * chosen.mean && other.coverage < RubbedOutCoverage;
        }
        if (rubbedOut) {
            for (int i : doubtful) {
                reading.states[size_t(i)] = BoxState::Empty;
                reading.doubts[size_t(i)] = BoxDoubt::None;
            }
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
    int darkest = doubtful.front();
    for (int i : doubtful) {
        if (boxes[size_t(i)].mean > boxes[size_t(darkest)].mean)
            darkest = i;
    }
    return choose(reading, {darkest});
}

// A question with several right answers: the ticked boxes, all of them, when nothing else is
// in doubt.
QuestionReading readSeveral(QuestionReading reading, const std::vector<BoxMeasure> &boxes,
                            const std::vector<int> &ticked, const std::vector<int> &doubtful)
{
    if (doubtful.empty()) {
        reading.kind = ticked.empty() ? QuestionReading::Kind::Unanswered : QuestionReading::Kind::Answered;
        return choose(reading, ticked);
    }
    // Nothing clearly ticked: read as any question, the darkest unclear box offered.
    if (ticked.empty())
        return readOneAnswer(std::move(reading), boxes, ticked, doubtful);
    reading.kind = QuestionReading::Kind::Doubtful;
    reading.doubt = QuestionReading::Doubt::Unclear;
    return choose(reading, ticked);
}

} // namespace

QuestionReading read(const std::vector<BoxMeasure> &boxes, bool severalAllowed)
{
    QuestionReading reading;
    std::vector<int> ticked, doubtful;
    for (int i = 0; i < int(boxes.size()); ++i) {
        const BoxState s = state(boxes[size_t(i)]);
        reading.states.push_back(s);
        reading.doubts.push_back(s == BoxState::Doubtful ? doubtOf(boxes[size_t(i)]) : BoxDoubt::None);
        if (s == BoxState::Ticked)
            ticked.push_back(i);
        else if (s == BoxState::Doubtful)
            doubtful.push_back(i);
    }
    return severalAllowed ? readSeveral(std::move(reading), boxes, ticked, doubtful)
                          : readOneAnswer(std::move(reading), boxes, ticked, doubtful);
}

} // namespace BoxDecision
