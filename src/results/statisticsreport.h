#pragma once

#include "results/report.h"
#include "results/resultsstatistics.h"

#include <QCoreApplication>
#include <QString>

// The statistics of a class as the window shows them and as they are printed: the texts both
// share, and the printed report.
class StatisticsReport
{
    Q_DECLARE_TR_FUNCTIONS(StatisticsReport)

public:
    // "classe-resultats.csv : 8 passations", and how many of them were left unfinished.
    static QString summary(const QString &resultsFile, const ResultsStatistics &statistics);
    // "63 %", rounded to the unit.
    static QString percent(double share);
    // "Léa", or "(sans nom)" for a run kept without a name.
    static QString pupilName(const QString &name);
    // "13,5 / 20"; empty without a mark.
    static QString markText(std::optional<double> mark, int scale);
    // Mean, median, lowest, highest and standard deviation of the class's marks, or why there
    // are none.
    static QString marksSummary(const ResultsStatistics &statistics);
    // How many kept marks are no longer what their answers are worth; empty when all are. The
    // notice adds where they can be worked out again.
    static QString changedMarksText(const ResultsStatistics &statistics);
    static QString changedMarksNotice(const ResultsStatistics &statistics);
    // "0,33", or "-" when every run scored alike (no correlation to speak of).
    static QString discrimination(const std::optional<double> &value);
    // Why the question is "à revoir"; empty when it is not.
    static QString reviewReason(const ResultsStatistics::Question &question);
    static QString reviewText() { return tr("à revoir"); }
    // "terminée", "inachevée", "retirée".
    static QString stateText(const ResultsStatistics::Pupil &pupil);
    // Which copies the class figures count, and how many.
    static QString countingText(const ResultsStatistics &statistics);
    // The choices of which copies count, by ResultsStatistics::Counting.
    static QString countingChoice(ResultsStatistics::Counting counting);
    // The per-question share's caption and what it counts: blanks count as not right.
    static QString shareCaption() { return tr("% justes, blancs compris"); }
    static QString shareHint();
    // The share of its point the question earned on average, partial credit counted.
    static QString facilityCaption() { return tr("Facilité"); }
    static QString facilityHint();
    static QString facility(const ResultsStatistics::Question &question);
    // The share of the copies that ticked an answer (1 to 5), "40 %"; empty for an answer the
    // question does not have. What the answers' columns say, and how the right ones are shown.
    static QString tickedShare(const ResultsStatistics &statistics, size_t question, int answer);
    static QString tickedHint();
    // "12 copies sur 30 ont coché cette réponse", and that it is a right one.
    static QString tickedDescription(const ResultsStatistics &statistics, size_t question, int answer);
    // One bar of the distribution of marks: "12" for the marks from 12 to under 13, its range
    // in words ("De 12 à moins de 13"), and the range with what it counts.
    static QString binCaption(const MarkSummary &marks, size_t bin);
    static QString binRange(const MarkSummary &marks, size_t bin);
    static QString binDescription(const MarkSummary &marks, size_t bin);

    static Report report(const QString &resultsFile, const ResultsStatistics &statistics);
};
