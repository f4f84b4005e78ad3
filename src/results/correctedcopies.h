#pragma once

#include "classroom/classquestionnaire.h"
#include "results/report.h"
#include "results/resultsstatistics.h"

#include <QCoreApplication>
#include <QString>

#include <vector>

// Corrected copies to hand back: per pupil, pages of their own with the pupil's name, the mark,
// and each question in the order that pupil saw it (the version rebuilt from the seed the copy
// keeps), the answers numbered as they were shown, every answer ticked, the right answers,
// whether it was right, what the author wrote about each answer ticked, and the question's
// correction. A question the pupil's version did not hold is not on the copy. Right answers are those of the questionnaire
// today: a copy whose kept mark they no longer give says so.
//
// The kept runs hold the answers, not the scans: a paper copy's handwriting is not reproduced.
class CorrectedCopies
{
    Q_DECLARE_TR_FUNCTIONS(CorrectedCopies)

public:
    // The copies handed back: one per named pupil, the copy the marks export takes by default
    // (the latest finished, else the latest unfinished), in the order a French class list
    // sorts names. Throws AppError when there is none.
    static std::vector<size_t> toHandBack(const ResultsStatistics &statistics);

    // `copies` index statistics.pupils; `title` names the questionnaire on every copy.
    static Report report(const ResultsStatistics &statistics, const std::vector<size_t> &copies,
                         const ClassQuestionnaire &questionnaire, const QString &title);
    // "Juste", "Faux", "Sans réponse", "Non notée": the verdict printed beside a question.
    static QString verdictText(const ClassQuestion &question, int answer);
    // The same for every answer ticked, "En partie juste" when they earn a share of the point.
    static QString verdictText(const ClassQuestion &question, const ClassSettings &settings, AnswerSet ticked);

private:
    static void addCopy(Report &report, const ResultsStatistics &statistics, size_t copy,
                        const ClassQuestionnaire &questionnaire, const QString &title);
};
