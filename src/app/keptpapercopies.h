#pragma once

#include <QString>

#include <set>
#include <utility>

class ClassQuestionnaire;

// The paper copies a questionnaire's results already hold, by number and version: marking the
// same scans again, or a pile that overlaps one marked before, adds no run twice.
class KeptPaperCopies
{
public:
    // Every file of the results series at `resultsPath` whose questions are the questionnaire's;
    // none when there is no such file yet. A file that is not a results file is passed over.
    static KeptPaperCopies read(const QString &resultsPath, const ClassQuestionnaire &questionnaire);

    bool contains(int copy, quint64 seed) const { return m_copies.count({copy, seed}) > 0; }
    int size() const { return int(m_copies.size()); }

private:
    std::set<std::pair<int, quint64>> m_copies;
};
