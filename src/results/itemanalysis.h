#pragma once

#include <optional>
#include <vector>

// A class's marks summed up: what a teacher reads before looking at any question.
struct MarkSummary
{
    int count = 0;
    double mean = 0;
    double median = 0;
    double lowest = 0;
    double highest = 0;
    double standardDeviation = 0; // of the class itself, not an estimate for a larger one
    double scale = 20;
    // Marks counted in equal bins from 0 to the scale (the last bin takes the full mark): one
    // point wide up to a scale of 20, twenty bins above.
    std::vector<int> distribution;
    double binWidth() const { return distribution.empty() ? scale : scale / double(distribution.size()); }

    static MarkSummary of(const std::vector<double> &marks, double scale);
};

// What each question tells about the class and about itself, as a quiz's item analysis does:
// its facility (the share of its point the runs earned on average: the share that got it right
// for a question marked right or wrong, partial credit counted for a question with several
// right answers) and its discrimination (how well it separates the pupils who did well from
// those who did not: the correlation of the score on it with the score on the other questions,
// the point-biserial one for a question marked right or wrong). A question whose discrimination
// is negative, or whose right answer almost nobody chose, is "à revoir": a wrong key is the usual
// cause. Only the runs whose version held a question count in its figures.
struct ItemAnalysis
{
    struct Item
    {
        double facility = 0;
        std::optional<double> discrimination; // none when every run scored alike
        bool toReview = false;
        int takers = 0;                        // runs whose version held the question
    };
    std::vector<Item> items;

    // Facility under which a question is flagged: almost nobody chose its right answer.
    static constexpr double LowestFacility = 0.1;

    // A score of a question the run's version did not hold: neither right nor wrong.
    static constexpr double NotTaken = -1;

    // `scores[run][question]` is the share of the question's point that run earned, 0 to 1 (a
    // penalty for a wrong answer is the mark's business, not the question's), or NotTaken;
    // questions without a right answer (`marked` false) are left out of every score and never
    // flagged.
    static ItemAnalysis of(const std::vector<std::vector<double>> &scores, const std::vector<bool> &marked);
    // The same for questions marked right or wrong: `right[run][question]` is 1 when right.
    static ItemAnalysis of(const std::vector<std::vector<char>> &right, const std::vector<bool> &marked);
};
