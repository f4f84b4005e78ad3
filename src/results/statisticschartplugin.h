#pragma once

#include "results/statisticschart.h"

#include <QObject>

// The nelo-statistics-chart module: the statistics window's bar chart, drawn with Qt Charts.
class StatisticsChartPlugin : public QObject, public StatisticsChartMaker
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID StatisticsChartMaker_iid)
    Q_INTERFACES(StatisticsChartMaker)

public:
    QWidget *makeChart(const QList<StatisticsChartBar> &bars, QWidget *parent) const override;
    QWidget *makeMarksChart(const StatisticsChartMarks &marks, QWidget *parent) const override;
};
