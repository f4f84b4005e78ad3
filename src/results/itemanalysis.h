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
// its facility (the share of the runs that got it right) and its discrimination (how well it
// separates the pupils who did well from those who did not: the point-biserial correlation of
// being right on it with the score on the other questions). A question whose discrimination is
// negative, or whose right answer almost nobody chose, is "à revoir": a wrong key is the usual
// cause.
struct ItemAnalysis
{
    struct Item
    {
        double facility = 0;
        std::optional<double> discrimination; // none when every run scored alike
        bool toReview = false;
    };
    std::vector<Item> items;

    // Facility under which a question is flagged: almost nobody chose its right answer.
    static constexpr double LowestFacility = 0.1;

    // `right[run][question]` is 1 when that run answered that question right; questions without
    // a right answer (`marked` false) are left out of every score and never flagged.
    static ItemAnalysis of(const std::vector<std::vector<char>> &right, const std::vector<bool> &marked);
};
