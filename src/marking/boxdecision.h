#pragma once

#include <vector>

// How dark a box is, against the paper around it: `mean` is the mean darkness of its inside
// (0 the paper, 1 the black of the page's corner marks), `coverage` the share of its inside at
// least half as dark as that black. The box's printed outline is not part of its inside.
struct BoxMeasure
{
    double mean = 0;
    double coverage = 0;
};

enum class BoxState { Empty, Ticked, Doubtful };

// What a question's boxes say, decided so that nothing is read wrong without a word: a box is
// ticked or empty only when it is clearly so, and anything else makes the question doubtful,
// for the teacher to decide.
struct QuestionReading
{
    enum class Kind { Answered, Unanswered, Doubtful };
    enum class Doubt { None, SeveralTicked, Unclear };

    Kind kind = Kind::Unanswered;
    Doubt doubt = Doubt::None;
    // The box read as chosen (an index into the question's boxes), or the one proposed to the
    // teacher when doubtful; -1 for none.
    int chosen = -1;
};

namespace BoxDecision {

// A pen stroke across the box covers a fifth of its inside at the least, a blackened box most
// of it; a pencil's grey fill darkens it by a third or more. A box is empty only when almost
// none of it is dark and its grey is no more than a smudge (what an eraser leaves).
inline constexpr double TickedCoverage = 0.20;
inline constexpr double TickedMean = 0.30;
inline constexpr double EmptyCoverage = 0.05;
inline constexpr double EmptyMean = 0.22;
// Beside a clearly ticked box, a grey box lighter than this share of it, with almost no ink in
// it, is an answer rubbed out: the pupil changed their mind as the copy tells them to.
inline constexpr double RubbedOutShare = 0.4;
inline constexpr double RubbedOutCoverage = 0.15;

BoxState state(const BoxMeasure &measure);
QuestionReading read(const std::vector<BoxMeasure> &boxes);

} // namespace BoxDecision
