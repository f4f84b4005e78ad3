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
    std::vector<std::vector<double>> scores(right.size());
    for (size_t r = 0; r < right.size(); ++r)
        scores[r].assign(right[r].cbegin(), right[r].cend());
    return of(scores, marked);
}

ItemAnalysis ItemAnalysis::of(const std::vector<std::vector<double>> &scores, const std::vector<bool> &marked)
{
    ItemAnalysis analysis;
    const size_t questions = marked.size();
    analysis.items.resize(questions);
    const size_t runs = scores.size();
    if (runs == 0)
        return analysis;

    const auto scoreOf = [&scores](size_t r, size_t q) { return q < scores[r].size() ? scores[r][q] : 0.0; };
    // Each run's points and how many marked questions its version held: the rest score is the
    // share of the other questions' points, so that runs of versions of different lengths weigh
    // alike (with every question held, a share is the plain rest score scaled, and the
    // correlation is the same).
    std::vector<double> totals(runs, 0);
    std::vector<int> taken(runs, 0);
    for (size_t r = 0; r < runs; ++r) {
        for (size_t q = 0; q < questions; ++q) {
            const double x = scoreOf(r, q);
            if (!marked[q] || x < 0)
                continue;
            totals[r] += x;
            ++taken[r];
        }
    }
    for (size_t q = 0; q < questions; ++q) {
        if (!marked[q])
            continue;
        double takers = 0, sum = 0;
        // The rest score leaves the question itself out, so it does not correlate with itself;
        // a run that held no other question has no rest score and stays out of the correlation.
        double n = 0, sx = 0, sxx = 0, sy = 0, syy = 0, sxy = 0;
        for (size_t r = 0; r < runs; ++r) {
            const double x = scoreOf(r, q);
            if (x < 0)
                continue;
            ++takers;
            sum += x;
            if (taken[r] < 2)
                continue;
            const double rest = (totals[r] - x) / (taken[r] - 1);
            ++n;
            sx += x;
            sxx += x * x;
            sy += rest;
            syy += rest * rest;
            sxy += x * rest;
        }
        Item &item = analysis.items[q];
        item.takers = int(takers);
        if (takers == 0)
            continue;
        item.facility = sum / takers;
        if (n > 0) {
            const double meanX = sx / n, meanY = sy / n;
            const double varianceX = sxx / n - meanX * meanX;
            const double varianceY = syy / n - meanY * meanY;
            if (varianceX > 1e-12 && varianceY > 1e-12)
                item.discrimination = std::clamp((sxy / n - meanX * meanY) / std::sqrt(varianceX * varianceY), -1.0, 1.0);
        }
        item.toReview = item.facility < LowestFacility || (item.discrimination && *item.discrimination < 0);
    }
    return analysis;
}
