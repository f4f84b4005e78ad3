#include "runner/statisticswindow.h"

#include "platform/services.h"
#include "runner/reportprinting.h"
#include "runner/statisticsreport.h"

#include <QBarCategoryAxis>
#include <QCategoryAxis>
#include <QCursor>
#include <QToolTip>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QValueAxis>
#include <QVBoxLayout>

namespace {

QTableWidgetItem *cell(const QString &text, bool number = false)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QTableWidget *makeGrid(QWidget *parent, const QString &name, const QStringList &captions, int rows)
{
    auto *grid = new QTableWidget(rows, int(captions.size()), parent);
    grid->setObjectName(name);
    grid->setHorizontalHeaderLabels(captions);
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    // The question or the pupil takes the room the numbers and dates leave.
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    return grid;
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
        axis->setTitleText(StatisticsWindow::tr("Question"));
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
    axis->setTitleText(StatisticsWindow::tr("Question"));
    return axis;
}

} // namespace

StatisticsWindow::StatisticsWindow(const QString &resultsFile, const ResultsStatistics &statistics,
                                   Services &services, QWidget *parent)
    : QDialog(parent), m_resultsFile(resultsFile), m_statistics(statistics), m_services(services)
{
    setWindowTitle(tr("Statistiques des résultats"));
    resize(960, 620);
    auto *layout = new QVBoxLayout(this);
    auto *summary = new QLabel(StatisticsReport::summary(resultsFile, statistics.pupils.size()), this);
    summary->setObjectName(QStringLiteral("Summary"));
    layout->addWidget(summary);

    createQuestionGrid(statistics);
    createPupilGrid(statistics);
    createChart(statistics);
    auto *grids = new QSplitter(Qt::Horizontal, this);
    grids->addWidget(QuestionGrid);
    grids->addWidget(PupilGrid);
    grids->setStretchFactor(0, 3);
    grids->setStretchFactor(1, 2);
    // The titles need the room; names, dates and scores are short.
    grids->setSizes({620, 320});
    auto *split = new QSplitter(Qt::Vertical, this);
    split->addWidget(Chart);
    split->addWidget(grids);
    layout->addWidget(split, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *close = buttons->button(QDialogButtonBox::Close);
    close->setText(tr("Fermer"));
    close->setDefault(true);
    PrintButton = buttons->addButton(tr("&Imprimer..."), QDialogButtonBox::ActionRole);
    // Enter closes the window; printing is asked for by name.
    PrintButton->setAutoDefault(false);
    PrintButton->setObjectName(QStringLiteral("PrintButton"));
    connect(PrintButton, &QPushButton::clicked, this, &StatisticsWindow::print);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void StatisticsWindow::print()
{
    ReportPrinting::print(m_services.printDialogs, tr("Statistiques - %1").arg(QFileInfo(m_resultsFile).completeBaseName()),
                          StatisticsReport::report(m_resultsFile, m_statistics), this);
}

void StatisticsWindow::createQuestionGrid(const ResultsStatistics &statistics)
{
    QuestionGrid = makeGrid(this, QStringLiteral("QuestionGrid"),
                            {tr("Question"), tr("Réponses"), tr("Justes"), tr("% justes"), tr("1)"), tr("2)"), tr("3)"),
                             tr("4)"), tr("5)")},
                            int(statistics.questions.size()));
    QuestionGrid->setAccessibleName(tr("Statistiques par question"));
    for (size_t q = 0; q < statistics.questions.size(); ++q) {
        const ResultsStatistics::Question &question = statistics.questions[q];
        const int row = int(q);
        QuestionGrid->setItem(row, 0, cell(question.caption));
        QuestionGrid->setItem(row, 1, cell(QString::number(question.answered), true));
        QuestionGrid->setItem(row, 2, cell(QString::number(question.right), true));
        QuestionGrid->setItem(row, 3, cell(StatisticsReport::percent(statistics.shareRight(q)), true));
        // How many chose each answer; the right one in bold, so a wrong answer many chose
        // stands out beside it.
        for (size_t a = 0; a < question.chosen.size(); ++a) {
            QTableWidgetItem *count = cell(QString::number(question.chosen[a]), true);
            if (question.solution == int(a + 1)) {
                QFont bold = count->font();
                bold.setBold(true);
                count->setFont(bold);
                count->setToolTip(tr("Bonne réponse"));
            }
            QuestionGrid->setItem(row, 4 + int(a), count);
        }
    }
}

void StatisticsWindow::createPupilGrid(const ResultsStatistics &statistics)
{
    PupilGrid = makeGrid(this, QStringLiteral("PupilGrid"), {tr("Élève"), tr("Date"), tr("Score")},
                         int(statistics.pupils.size()));
    PupilGrid->setAccessibleName(tr("Scores par élève"));
    for (size_t p = 0; p < statistics.pupils.size(); ++p) {
        const ResultsStatistics::Pupil &pupil = statistics.pupils[p];
        const int row = int(p);
        PupilGrid->setItem(row, 0, cell(StatisticsReport::pupilName(pupil.name)));
        PupilGrid->setItem(row, 1, cell(pupil.date + QLatin1Char(' ') + pupil.time));
        PupilGrid->setItem(row, 2, cell(QStringLiteral("%1 / %2").arg(pupil.right).arg(pupil.count), true));
    }
}

void StatisticsWindow::createChart(const ResultsStatistics &statistics)
{
    auto *set = new QBarSet(tr("% de bonnes réponses"));
    const int count = int(statistics.questions.size());
    for (int q = 0; q < count; ++q)
        *set << statistics.shareRight(size_t(q)) * 100;
    auto *series = new QBarSeries;
    series->append(set);
    auto *chart = new QChart;
    chart->addSeries(series);
    chart->setTitle(tr("Part de bonnes réponses par question"));
    chart->legend()->hide();
    chart->addAxis(questionAxis(count), Qt::AlignBottom);
    series->attachAxis(chart->axes(Qt::Horizontal).constFirst());
    // With many questions the bars are thin: the one under the mouse says which it is.
    connect(set, &QBarSet::hovered, this, [this, &statistics = m_statistics](bool over, int index) {
        if (!over || index < 0 || size_t(index) >= statistics.questions.size()) {
            QToolTip::hideText();
            return;
        }
        QToolTip::showText(QCursor::pos(), tr("%1 : %2 de bonnes réponses")
                                               .arg(statistics.questions[size_t(index)].caption,
                                                    StatisticsReport::percent(statistics.shareRight(size_t(index)))),
                           Chart);
    });
    auto *axisY = new QValueAxis;
    axisY->setRange(0, 100);
    axisY->setLabelFormat(QStringLiteral("%d %%"));
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisY);
    Chart = new QChartView(chart, this);
    Chart->setObjectName(QStringLiteral("Chart"));
    Chart->setAccessibleName(tr("Part de bonnes réponses par question"));
    Chart->setRenderHint(QPainter::Antialiasing);
    Chart->setMinimumHeight(220);
}
