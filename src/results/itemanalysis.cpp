#include "results/itemanalysis.h"

#include <algorithm>
#include <cmath>
#include <numeric>

MarkSummary MarkSummary::of(const std::vector<double> &marks, double scale)
{
    MarkSummary summary;
    summary.scale = scale;
    const int bins = scale > 0 ? int(std::min(20.0, std::ceil(scale))) : 1;
    summary.distribution.assign(size_t(bins), 0);
    summary.count = int(marks.size());
    if (marks.empty())
        return summary;
    std::vector<double> sorted = marks;
    std::sort(sorted.begin(), sorted.end());
    summary.lowest = sorted.front();
    summary.highest = sorted.back();
    const size_t middle = sorted.size() / 2;
    summary.median = sorted.size() % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
    summary.mean = std::accumulate(sorted.begin(), sorted.end(), 0.0) / double(sorted.size());
    double squares = 0;
    for (double mark : sorted)
        squares += (mark - summary.mean) * (mark - summary.mean);
    summary.standardDeviation = std::sqrt(squares / double(sorted.size()));
    const double width = summary.binWidth();
    for (double mark : sorted) {
        const int bin = std::clamp(int(std::floor(mark / width + 1e-9)), 0, bins - 1);
        ++summary.distribution[size_t(bin)];
    }
    return summary;
}

ItemAnalysis ItemAnalysis::of(const std::vector<std::vector<char>> &right, const std::vector<bool> &marked)
{
    ItemAnalysis analysis;
    const size_t questions = marked.size();
    analysis.items.resize(questions);
    const size_t runs = right.size();
    if (runs == 0)
        return analysis;

    std::vector<int> totals(runs, 0);
    for (size_t r = 0; r < runs; ++r) {
        for (size_t q = 0; q < questions && q < right[r].size(); ++q)
            totals[r] += marked[q] && right[r][q] ? 1 : 0;
    }
    for (size_t q = 0; q < questions; ++q) {
        if (!marked[q])
            continue;
        // The rest score leaves the question itself out, so it does not correlate with itself.
        double rightCount = 0, restSum = 0, restSquares = 0, restOfRight = 0;
        for (size_t r = 0; r < runs; ++r) {
            const int x = q < right[r].size() && right[r][q] ? 1 : 0;
            const double rest = totals[r] - x;
            rightCount += x;
            restSum += rest;
            restSquares += rest * rest;
            if (x)
                restOfRight += rest;
        }
        Item &item = analysis.items[q];
        const double n = double(runs);
        const double p = rightCount / n;
        item.facility = p;
        const double mean = restSum / n;
        const double variance = restSquares / n - mean * mean;
        if (p > 0 && p < 1 && variance > 1e-12) {
            const double meanRight = restOfRight / rightCount;
            const double meanWrong = (restSum - restOfRight) / (n - rightCount);
            item.discrimination = (meanRight - meanWrong) / std::sqrt(variance) * std::sqrt(p * (1 - p));
        }
        item.toReview = p < LowestFacility || (item.discrimination && *item.discrimination < 0);
    }
    return analysis;
}
