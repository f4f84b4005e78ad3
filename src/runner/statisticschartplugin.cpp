#include "runner/statisticschartplugin.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QToolTip>
#include <QValueAxis>

namespace {

// The least height at which the title, the bars and both axes' labels still read whole; a screen
// enlarged 200 % leaves little more for the chart and the tables together.
constexpr int ChartMinimumHeight = 150;

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
    int step = 1;
    for (int candidate : {2, 5, 10, 20, 50, 100, 200, 500, 1000}) {
        if (count / step <= ReadableLabels)
            break;
        step = candidate;
    }
    auto *axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    // Bar i stands at i: its number is i + 1.
    axis->setRange(-0.5, count - 0.5);
    axis->setStartValue(-0.5);
    for (int number = step; number <= count; number += step)
        axis->append(QString::number(number), number - 1);
    axis->setTitleText(StatisticsChartPlugin::tr("Question"));
    return axis;
}

} // namespace

QWidget *StatisticsChartPlugin::makeChart(const QList<StatisticsChartBar> &bars, QWidget *parent) const
{
    auto *set = new QBarSet(tr("% de bonnes réponses"));
    for (const StatisticsChartBar &bar : bars)
        *set << bar.percent;
    auto *series = new QBarSeries;
    series->append(set);
    auto *chart = new QChart;
    chart->addSeries(series);
    chart->setTitle(tr("Part de bonnes réponses par question"));
    chart->legend()->hide();
    // The default margins and rounded card take a third of a small chart's height.
    chart->setMargins(QMargins(4, 0, 4, 0));
    chart->setBackgroundRoundness(0);
    chart->addAxis(questionAxis(int(bars.size())), Qt::AlignBottom);
    series->attachAxis(chart->axes(Qt::Horizontal).constFirst());
    auto *axisY = new QValueAxis;
    axisY->setRange(0, 100);
    axisY->setLabelFormat(QStringLiteral("%d %%"));
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisY);

    auto *view = new QChartView(chart, parent);
    view->setAccessibleName(tr("Part de bonnes réponses par question"));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(ChartMinimumHeight);
    // With many questions the bars are thin: the one under the mouse says which it is.
    connect(set, &QBarSet::hovered, view, [view, bars](bool over, int index) {
        if (!over || index < 0 || index >= bars.size()) {
            QToolTip::hideText();
            return;
        }
        const StatisticsChartBar &bar = bars.at(index);
        QToolTip::showText(QCursor::pos(), tr("%1 : %2 de bonnes réponses").arg(bar.caption, bar.share), view);
    });
    return view;
}
