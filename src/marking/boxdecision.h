#pragma once

#include <vector>

// How dark a box is, against the paper around it: `mean` is the mean darkness of its inside
// (0 the paper, 1 the black of the page's corner marks), `coverage` the share of its inside at
// least half as dark as that black. The box's printed outline is not part of its inside.
//
// Marks that are not fills are told by three more measures: `peak`, the darkness of the darkest
// twentieth of the inside (a stroke, however thin or blurred, stands above the paper where an
// eraser's smooth grey does not); `edge`, the share of ink in a frame round the printed
// outline, the outline and its blur left out (ink on the box's edge, half in, half out);
// `around`, the share of
// ink in a strip just left of the box, where nothing is printed (a ring drawn round the box
// crosses it).
struct BoxMeasure
{
    double mean = 0;
    double coverage = 0;
    double peak = 0;
    double edge = 0;
    double around = 0;
};

enum class BoxState { Empty, Ticked, Doubtful };

// Why a box is doubtful, for the teacher.
enum class BoxDoubt {
    None,
    Unclear, // darker than empty, lighter than ticked
    Faint,   // a light stroke, above the paper's grain
    Ringed,  // a ring or circle drawn round it
    OnEdge,  // ink on its printed outline
};

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
    // teacher when doubtful; -1 for none. The first of `chosenBoxes`.
    int chosen = -1;
    // Every box read as chosen, or proposed, in order: one at most on a one-answer question.
    std::vector<int> chosenBoxes;
    // Each box's state and, for a doubtful one, why; in the order of the boxes.
    std::vector<BoxState> states;
    std::vector<BoxDoubt> doubts;
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
// Below the tick limits, a box is still not empty when a light mark shows in it: its grey, or
// its darkest twentieth against its mean, above the paper's grain and a copier's noise (an
// empty box stays under 0.02 and 0.04 on every scan the tests make, JPEG 30 and noise
// included); when a ring drawn round it crosses the strip beside it; or when ink lies on its
// edge, in the frame round its outline.
inline constexpr double FaintMean = 0.05;
inline constexpr double FaintStroke = 0.06;
inline constexpr double RingedAround = 0.08;
inline constexpr double OnEdgeShare = 0.01;

BoxState state(const BoxMeasure &measure);
BoxDoubt doubtOf(const BoxMeasure &measure);
// `severalAllowed`: the question has several right answers, so that the boxes clearly ticked
// are its answer, however many. Any box in doubt (rubbed out ones too: beside several ticks
// nothing tells a change of mind from an answer half kept) then makes it doubtful, the ticked
// boxes proposed.
QuestionReading read(const std::vector<BoxMeasure> &boxes, bool severalAllowed = false);

} // namespace BoxDecision
