#include "runner/statisticswindow.h"

#include "platform/firstshow.h"
#include "platform/screenfit.h"
#include "platform/services.h"
#include "runner/reportprinting.h"
#include "runner/statisticsreport.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
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

} // namespace

StatisticsWindow::StatisticsWindow(const QString &resultsFile, const ResultsStatistics &statistics,
                                   Services &services, const StatisticsChartModule &charts, QWidget *parent)
    : QDialog(parent), m_resultsFile(resultsFile), m_statistics(statistics), m_services(services)
{
    setWindowTitle(tr("Statistiques des résultats"));
    auto *layout = new QVBoxLayout(this);
    auto *summary = new QLabel(StatisticsReport::summary(resultsFile, statistics.pupils.size()), this);
    summary->setObjectName(QStringLiteral("Summary"));
    layout->addWidget(summary);

    createQuestionGrid(statistics);
    createPupilGrid(statistics);
    createChart(statistics, charts);
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
    // Two fifths of the height for the chart, once the screen has given the window its size.
    whenFirstShown(this, [split] {
        const int height = split->height() - split->handleWidth();
        split->setSizes({height * 2 / 5, height - height * 2 / 5});
    });
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
    fitToScreen(*this, WantedSize);
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

void StatisticsWindow::createChart(const ResultsStatistics &statistics, const StatisticsChartModule &charts)
{
    QList<StatisticsChartBar> bars;
    for (size_t q = 0; q < statistics.questions.size(); ++q) {
        const double share = statistics.shareRight(q);
        bars.append({statistics.questions[q].caption, share * 100, StatisticsReport::percent(share)});
    }
    QString why;
    Chart = charts.makeChart(bars, this, &why);
    if (!Chart) {
        auto *missing = new QLabel(why, this);
        missing->setWordWrap(true);
        Chart = missing;
    }
    Chart->setObjectName(QStringLiteral("Chart"));
}
