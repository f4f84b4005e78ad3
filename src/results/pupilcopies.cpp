#include "results/pupilcopies.h"

#include "classroom/classscore.h"

#include <QDateTime>
#include <QHash>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Marks are kept to the hundredth at most: closer than this they are the same mark.
constexpr double SameMark = 0.005;

struct Candidate
{
    size_t index = 0;
    std::pair<qint64, size_t> moment;
    double mark = 0;
    bool finished = true;
};

// Better by the rule: the latest, or the best mark and of two equal marks the latest.
bool preferred(const Candidate &candidate, const Candidate &chosen, PupilCopies::Rule rule)
{
    if (rule == PupilCopies::Rule::Best && std::abs(candidate.mark - chosen.mark) > SameMark)
        return candidate.mark > chosen.mark;
    return candidate.moment > chosen.moment;
}

} // namespace

namespace PupilCopies {

QString pupilKey(const QString &name)
{
    return name.simplified().toCaseFolded();
}

std::pair<qint64, size_t> momentOf(const ResultsStatistics::Pupil &copy, size_t index)
{
    const QDate date = QDate::fromString(copy.date.trimmed(), QStringLiteral("dd/MM/yyyy"));
    QTime time = QTime::fromString(copy.time.trimmed(), QStringLiteral("HH:mm:ss"));
    if (!time.isValid())
        time = QTime::fromString(copy.time.trimmed(), QStringLiteral("HH:mm"));
    if (!date.isValid())
        return {std::numeric_limits<qint64>::min(), index};
    return {QDateTime(date, time.isValid() ? time : QTime(0, 0)).toMSecsSinceEpoch(), index};
}

std::vector<Chosen> choose(const ResultsStatistics &statistics, const Options &options)
{
    // Each pupil's copies that may count, finished and unfinished apart.
    struct Copies
    {
        std::vector<Candidate> finished, unfinished;
    };
    std::vector<QString> order;
    QHash<QString, Copies> byPupil;
    for (size_t i = 0; i < statistics.pupils.size(); ++i) {
        const ResultsStatistics::Pupil &copy = statistics.pupils[i];
        const QString key = pupilKey(copy.name);
        if (key.isEmpty() || copy.removed)
            continue;
        if (!copy.finished && !options.countUnfinished)
            continue;
        const std::optional<double> mark = options.recompute ? copy.currentMark : statistics.markOnScale(copy);
        if (!mark)
            continue;
        auto found = byPupil.find(key);
        if (found == byPupil.end()) {
            order.push_back(key);
            found = byPupil.insert(key, Copies());
        }
        (copy.finished ? found->finished : found->unfinished).push_back({i, momentOf(copy, i), *mark, copy.finished});
    }

    std::vector<Chosen> chosen;
    chosen.reserve(order.size());
    for (const QString &key : order) {
        Copies &copies = byPupil[key];
        std::vector<Candidate> &counted = copies.finished.empty() ? copies.unfinished : copies.finished;
        std::sort(counted.begin(), counted.end(),
                  [](const Candidate &a, const Candidate &b) { return a.moment < b.moment; });
        Chosen pupil;
        pupil.key = key;
        pupil.unfinished = copies.finished.empty();
        if (options.rule == Rule::Mean) {
            double sum = 0;
            for (const Candidate &candidate : counted) {
                pupil.used.push_back(candidate.index);
                sum += candidate.mark;
            }
            pupil.mark = ClassMarking::roundToStep(sum / double(counted.size()), statistics.roundingHundredths);
        } else {
            const Candidate *best = &counted.front();
            for (const Candidate &candidate : counted) {
                if (preferred(candidate, *best, options.rule))
                    best = &candidate;
            }
            pupil.used.push_back(best->index);
            pupil.mark = best->mark;
        }
        pupil.name = statistics.pupils[pupil.used.back()].name.simplified();
        chosen.push_back(std::move(pupil));
    }
    return chosen;
}

} // namespace PupilCopies
