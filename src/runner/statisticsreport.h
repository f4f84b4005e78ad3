#pragma once

#include "runner/report.h"
#include "runner/resultsstatistics.h"

#include <QCoreApplication>
#include <QString>

// The statistics of a class as the window shows them and as they are printed: the texts both
// share, and the printed report.
class StatisticsReport
{
    Q_DECLARE_TR_FUNCTIONS(StatisticsReport)

public:
    // "classe-resultats.csv : 8 passations".
    static QString summary(const QString &resultsFile, size_t runs);
    // "63 %", rounded to the unit.
    static QString percent(double share);
    // "Léa", or "(sans nom)" for a run kept without a name.
    static QString pupilName(const QString &name);

    static Report report(const QString &resultsFile, const ResultsStatistics &statistics);
};
