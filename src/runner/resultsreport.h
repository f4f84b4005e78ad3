#pragma once

#include "results/report.h"
#include "runner/runsession.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>

// The results of one run as a printed report: the questionnaire's name, the pupil's, the date,
// the total, then the table of the results window.
class ResultsReport
{
    Q_DECLARE_TR_FUNCTIONS(ResultsReport)

public:
    static Report report(const QString &questionnaire, const QString &pupil, const QDateTime &when,
                         const RunResults &results);
};
