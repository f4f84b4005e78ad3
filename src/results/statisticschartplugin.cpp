#include "results/statisticschartplugin.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace {

// The least height at which the title, the bars and both axes' labels still read whole; a screen
// enlarged 200 % leaves little more for the chart and the tables together.
constexpr int ChartMinimumHeight = 150;
// Qt Charts' own: bars half as wide as their place.
constexpr qreal DefaultBarWidth = 0.5;

// One label every `step` places, the first step of `steps` that leaves at most `readable` of
// the `count` places labelled (the largest step when none does).
int labelStep(int count, int readable, std::initializer_list<int> steps)
{
    int step = 1;
    for (int candidate : steps) {
        if (count / step <= readable)
            break;
        step = candidate;
    }
    return step;
}

// An axis read as a ruler under `count` bars, bar i at i: labels stand on values, not between.
QCategoryAxis *rulerAxis(int count)
{
    auto *axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setRange(-0.5, count - 0.5);
    axis->setStartValue(-0.5);
    return axis;
}

// The questions' axis: every number while they fit, else one number every 5, 10, 20, 50... so
// that some twenty stay readable.
QAbstractAxis *questionAxis(int count)
{
    constexpr int ReadableLabels = 25;
    if (count <= ReadableLabels) {
        auto *axis = new QBarCategoryAxis;
        for (int q = 1; q <= count; ++q)
            axis->append(QString::number(q));
        axis->setTitleText(StatisticsChartPlugin::tr("Question"));
        return axis;
    }
    const int step = labelStep(count, ReadableLabels, {2, 5, 10, 20, 50, 100, 200, 500, 1000});
    QCategoryAxis *axis = rulerAxis(count);
    // Bar i stands at i: its number is i + 1.
    for (int number = step; number <= count; number += step)
        axis->append(QString::number(number), number - 1);
    axis->setTitleText(StatisticsChartPlugin::tr("Question"));
    return axis;
}

// The marks' axis, read as a ruler: the marks where bins meet, one every few bins, so that the
// numbers stay whole however narrow the chart.
QAbstractAxis *marksAxis(const StatisticsChartMarks &marks)
{
    constexpr int ReadableLabels = 5;
    const int count = int(marks.bins.size());
    const int step = labelStep(count, ReadableLabels, {2, 5, 10});
    QCategoryAxis *axis = rulerAxis(count);
    // Bin i stands at i: its lowest mark is at i - 0.5.
    for (int bin = 0; bin <= count; bin += step)
        axis->append(bin < count ? marks.bins.at(bin).caption : marks.fullMark, bin - 0.5);
    axis->setTitleText(marks.axisTitle);
    return axis;
}

// A step of 1, 2, 5, 10, 20, 50... that puts at most five ticks above 0 up to `top`: more
// would not read on a chart a screen enlarged 200 % leaves short.
int countStep(int top)
{
    constexpr int ReadableTicks = 5;
    int step = 1;
    for (int scale = 1; (top + step - 1) / step > ReadableTicks; scale *= 10) {
        for (int factor : {1, 2, 5}) {
            step = factor * scale;
            if ((top + step - 1) / step <= ReadableTicks)
                break;
        }
    }
    return step;
}

// The chart around one set of bars, its bars telling what they stand for under the mouse (thin
// bars are hard to name otherwise). barWidth: the share of its place a bar takes.
QChartView *barChart(const QString &title, QBarSet *set, QAbstractAxis *axisX, QValueAxis *axisY,
                     const QList<StatisticsChartBar> &bars, qreal barWidth, QWidget *parent)
{
    auto *series = new QBarSeries;
    series->append(set);
    series->setBarWidth(barWidth);
    auto *chart = new QChart;
    chart->addSeries(series);
    chart->setTitle(title);
    chart->legend()->hide();
    // The default margins and rounded card take a third of a small chart's height.
    chart->setMargins(QMargins(4, 0, 4, 0));
    chart->setBackgroundRoundness(0);
    chart->addAxis(axisX, Qt::AlignBottom);
    series->attachAxis(axisX);
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisY);

    auto *view = new QChartView(chart, parent);
    view->setAccessibleName(title);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(ChartMinimumHeight);
    QObject::connect(set, &QBarSet::hovered, view, [view, bars](bool over, int index) {
        if (!over || index < 0 || index >= bars.size())
            QToolTip::hideText();
        else
            QToolTip::showText(QCursor::pos(), bars.at(index).tip, view);
    });
    return view;
}

} // namespace

QWidget *StatisticsChartPlugin::makeChart(const QList<StatisticsChartBar> &bars, QWidget *parent) const
{
    auto *set = new QBarSet(tr("% de bonnes réponses"));
    for (const StatisticsChartBar &bar : bars)
        *set << bar.value;
    auto *axisY = new QValueAxis;
    axisY->setRange(0, 100);
    axisY->setLabelFormat(QStringLiteral("%d %%"));
    return barChart(tr("Part de bonnes réponses par question"), set, questionAxis(int(bars.size())), axisY, bars,
                    DefaultBarWidth, parent);
}

QWidget *StatisticsChartPlugin::makeMarksChart(const StatisticsChartMarks &marks, QWidget *parent) const
{
    auto *set = new QBarSet(tr("Passations"));
    int top = 1;
    for (const StatisticsChartBar &bin : marks.bins) {
        *set << bin.value;
        top = std::max(top, int(std::ceil(bin.value)));
    }
    // Counts are whole: ticks at whole numbers, the top a tick too.
    const int step = countStep(top);
    auto *axisY = new QValueAxis;
    axisY->setRange(0, (top + step - 1) / step * step);
    axisY->setTickType(QValueAxis::TicksDynamic);
    axisY->setTickAnchor(0);
    axisY->setTickInterval(step);
    // No title: "Passations" would be cut short on an enlarged screen, and each bar says what it
    // counts under the mouse.
    axisY->setLabelFormat(QStringLiteral("%d"));
    // Bins side by side, as a histogram draws them.
    return barChart(tr("Répartition des notes"), set, marksAxis(marks), axisY, marks.bins, 0.9, parent);
}
