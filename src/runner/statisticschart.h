#pragma once

#include <QList>
#include <QString>
#include <QtPlugin>

class QWidget;

// One bar of the statistics chart: a question and its share of right answers.
struct StatisticsChartBar
{
    QString caption; // "1. Titre", as the grids show it
    double percent = 0; // 0 to 100
    QString share; // the share as the grids write it ("63 %")
};

// Makes the bar chart of the statistics window. It is built into a module of its own,
// nelo-statistics-chart, loaded the first time a chart is drawn (StatisticsChartModule): the
// chart needs Qt Charts, and Qt Charts brings OpenGL's libraries with it, which every start of
// the program would otherwise map for a window few people open.
//
// The module sees nothing of the program but this header: plain values in, a widget out.
class StatisticsChartMaker
{
public:
    virtual ~StatisticsChartMaker() = default;
    // The share of right answers per question, bar i for question i + 1; the widget belongs
    // to parent.
    virtual QWidget *makeChart(const QList<StatisticsChartBar> &bars, QWidget *parent) const = 0;
};

#define StatisticsChartMaker_iid "org.example.NeloQcm.StatisticsChartMaker/1.0"
Q_DECLARE_INTERFACE(StatisticsChartMaker, StatisticsChartMaker_iid)
