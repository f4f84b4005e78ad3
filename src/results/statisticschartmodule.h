#pragma once

#include "results/statisticschart.h"

#include <QCoreApplication>
#include <QString>

// Where the statistics chart's module is, and the chart it makes. The module is loaded the first
// time a chart is asked for, and stays loaded: Qt Charts is not mapped before.
class StatisticsChartModule
{
    Q_DECLARE_TR_FUNCTIONS(StatisticsChartModule)

public:
    // path: the module's file; empty when it was not found, and then no chart is made.
    explicit StatisticsChartModule(QString path = locate());

    // Beside the program first (the build tree), then where the installation puts it, in the
    // program's private folder (libexec/nelo-qcm). Empty when neither holds it.
    static QString locate();
    static QString locate(const QString &programFolder);

    const QString &path() const { return m_path; }

    // The chart of bars, owned by parent; nullptr when the module is missing or cannot be
    // loaded, with *why saying so in French.
    QWidget *makeChart(const QList<StatisticsChartBar> &bars, QWidget *parent, QString *why) const;
    QWidget *makeMarksChart(const StatisticsChartMarks &marks, QWidget *parent, QString *why) const;

private:
    // The module's chart maker, loaded the first time; nullptr with *why said when there is none.
    const StatisticsChartMaker *maker(QString *why) const;

    QString m_path;
};
