#pragma once

#include <QList>
#include <QString>
#include <QtPlugin>

class QWidget;

// One bar of a statistics chart: a question and its share of right answers, or a range of marks
// and how many runs got one.
struct StatisticsChartBar
{
    QString caption; // "1. Titre" as the grids show it, or "12" for the marks from 12 to under 13
    double value = 0; // a percentage, or a count
    QString tip; // what the bar says under the mouse
};

// The distribution of a class's marks.
struct StatisticsChartMarks
{
    QList<StatisticsChartBar> bins; // each captioned with the lowest mark it takes
    QString fullMark;  // "20": where the last bin ends
    QString axisTitle; // "Note sur 20"
};

// Makes the bar charts of the statistics window. It is built into a module of its own,
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
    // How many runs got each range of marks, from 0 to the full mark.
    virtual QWidget *makeMarksChart(const StatisticsChartMarks &marks, QWidget *parent) const = 0;
};

// A module built before the marks chart answers to the old name, and is refused.
#define StatisticsChartMaker_iid "org.example.NeloQcm.StatisticsChartMaker/2.0"
Q_DECLARE_INTERFACE(StatisticsChartMaker, StatisticsChartMaker_iid)
