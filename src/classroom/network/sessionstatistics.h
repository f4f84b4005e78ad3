#pragma once

#include "results/itemanalysis.h"

#include <vector>

class NetworkSession;

// The session's class at a glance: the marks of the runs that ended (finished, or stopped by
// the end of the session) and, per question in the questionnaire's order, its facility and
// discrimination.
struct SessionStatistics
{
    int runs = 0;
    MarkSummary marks;
    ItemAnalysis items;          // one item per question of the questionnaire
    std::vector<bool> marked;    // the questions with a right answer

    static SessionStatistics of(const NetworkSession &session);
};
