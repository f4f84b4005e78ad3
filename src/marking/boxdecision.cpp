#include "marking/boxdecision.h"

#include <algorithm>
#include <cstddef>

using std::size_t;

namespace BoxDecision {

BoxDoubt doubtOf(const BoxMeasure &measure, double edgeBaseline)
{
    if (measure.coverage >= TickedCoverage || measure.mean >= TickedMean)
        return BoxDoubt::None;
    if (measure.coverage > EmptyCoverage || measure.mean > EmptyMean)
        return BoxDoubt::Unclear;
    if (measure.around >= RingedAround)
        return BoxDoubt::Ringed;
    if (measure.edge - edgeBaseline >= OnEdgeExcess)
        return BoxDoubt::OnEdge;
    if (measure.mean >= FaintMean || measure.peak >= FaintPeak)
        return BoxDoubt::Faint;
    return BoxDoubt::None;
}

BoxState state(const BoxMeasure &measure, double edgeBaseline)
{
    if (measure.coverage >= TickedCoverage || measure.mean >= TickedMean)
        return BoxState::Ticked;
    return doubtOf(measure, edgeBaseline) == BoxDoubt::None ? BoxState::Empty : BoxState::Doubtful;
}

BoxState state(const BoxMeasure &measure)
{
    return state(measure, measure.edge);
}

QuestionReading read(const std::vector<BoxMeasure> &boxes)
{
    QuestionReading reading;
    double edgeBaseline = 0;
    for (size_t i = 0; i < boxes.size(); ++i)
        edgeBaseline = i == 0 ? boxes[i].edge : std::min(edgeBaseline, boxes[i].edge);
    std::vector<int> ticked, doubtful;
    for (int i = 0; i < int(boxes.size()); ++i) {
        const BoxState s = state(boxes[size_t(i)], edgeBaseline);
        reading.states.push_back(s);
        reading.doubts.push_back(s == BoxState::Doubtful ? doubtOf(boxes[size_t(i)], edgeBaseline) : BoxDoubt::None);
        if (s == BoxState::Ticked)
            ticked.push_back(i);
        else if (s == BoxState::Doubtful)
            doubtful.push_back(i);
    }
    if (ticked.size() > 1) {
        reading.kind = QuestionReading::Kind::Doubtful;
        reading.doubt = QuestionReading::Doubt::SeveralTicked;
        return reading;
    }
    if (ticked.size() == 1) {
        reading.chosen = ticked.front();
        const BoxMeasure &chosen = boxes[size_t(reading.chosen)];
        // Beside a clear fill, a lighter box with hardly any ink is an answer rubbed out, as the
        // copy tells pupils to change one; a ring or ink on an edge is not.
        bool rubbedOut = true;
        for (int i : doubtful) {
            const BoxMeasure &other = boxes[size_t(i)];
            const BoxDoubt why = reading.doubts[size_t(i)];
            rubbedOut = rubbedOut && (why == BoxDoubt::Unclear || why == BoxDoubt::Faint)
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
    reading.chosen = doubtful.front();
    for (int i : doubtful) {
        if (boxes[size_t(i)].mean > boxes[size_t(reading.chosen)].mean)
            reading.chosen = i;
    }
    return reading;
}

} // namespace BoxDecision
