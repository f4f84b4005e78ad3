#include "results/statisticswindow.h"

#include "platform/firstshow.h"
#include "platform/screenfit.h"
#include "platform/services.h"
#include "results/correctedcopies.h"
#include "results/reportprinting.h"
#include "results/statisticsreport.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
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
    : QDialog(parent), m_resultsFile(resultsFile), m_statistics(statistics), m_services(services), m_charts(charts)
{
    setWindowTitle(tr("Statistiques des résultats"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(createNote(StatisticsReport::summary(resultsFile, statistics), QStringLiteral("Summary")));
    MarksSummary = createNote(StatisticsReport::marksSummary(statistics), QStringLiteral("MarksSummary"));
    QFont bold = MarksSummary->font();
    bold.setBold(true);
    MarksSummary->setFont(bold);
    layout->addWidget(MarksSummary);
    ChangedMarks = createNote(StatisticsReport::changedMarksNotice(statistics), QStringLiteral("ChangedMarks"));
    ChangedMarks->setVisible(!ChangedMarks->text().isEmpty());
    layout->addWidget(ChangedMarks);

    createQuestionGrid(statistics);
    createPupilGrid(statistics);
    // Each table takes the window's whole width: the titles need the room, and so do the
    // columns of figures beside them.
    auto *grids = new QTabWidget(this);
    grids->setObjectName(QStringLiteral("Grids"));
    grids->addTab(QuestionGrid, tr("&Questions"));
    grids->addTab(PupilGrid, tr("É&lèves"));
    // Beside the tabs, whose figures it changes: no line of the window's height is taken.
    grids->setCornerWidget(createCountingChoice(), Qt::TopRightCorner);
    // Ctrl+C copies the whole table shown, not only the cell the grid's own copy would take,
    // wherever the focus is.
    QuestionGrid->installEventFilter(this);
    PupilGrid->installEventFilter(this);
    auto *copy = new QShortcut(QKeySequence::Copy, this);
    connect(copy, &QShortcut::activated, this,
            [this, grids] { copyTable(grids->currentIndex() == 0 ? *QuestionGrid : *PupilGrid); });
    auto *split = new QSplitter(Qt::Vertical, this);
    m_split = split;
    split->addWidget(createCharts(statistics, charts));
    split->addWidget(grids);
    // Two fifths of the height for the charts, once the screen has given the window its size.
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
    CorrectedCopyButton = buttons->addButton(tr("Imprimer la &copie corrigée..."), QDialogButtonBox::ActionRole);
    CorrectedCopyButton->setAutoDefault(false);
    CorrectedCopyButton->setObjectName(QStringLiteral("CorrectedCopyButton"));
    CorrectedCopyButton->setVisible(false);
    connect(CorrectedCopyButton, &QPushButton::clicked, this, &StatisticsWindow::printCorrectedCopy);
    // A copy to print is a pupil's row chosen in the pupils' table, and shown.
    const auto pupilChosen = [this, grids] {
        CorrectedCopyButton->setEnabled(grids->currentWidget() == PupilGrid && PupilGrid->currentRow() >= 0
                                        && !PupilGrid->selectedItems().isEmpty());
    };
    connect(PupilGrid, &QTableWidget::itemSelectionChanged, this, pupilChosen);
    connect(grids, &QTabWidget::currentChanged, this, pupilChosen);
    pupilChosen();
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    fitToScreen(*this, WantedSize);
}

void StatisticsWindow::print()
{
    ReportPrinting::print(m_services.printDialogs, tr("Statistiques - %1").arg(QFileInfo(m_resultsFile).completeBaseName()),
                          StatisticsReport::report(m_resultsFile, m_statistics), this);
}

void StatisticsWindow::allowCorrectedCopies(const ClassQuestionnaire &questionnaire, const QString &title)
{
    m_questionnaire = questionnaire;
    m_title = title;
    CorrectedCopyButton->setVisible(true);
}

void StatisticsWindow::printCorrectedCopy()
{
    const int row = PupilGrid->currentRow();
    if (!m_questionnaire || row < 0 || size_t(row) >= m_statistics.pupils.size())
        return;
    const QString name = StatisticsReport::pupilName(m_statistics.pupils[size_t(row)].name.simplified());
    ReportPrinting::print(m_services.printDialogs, tr("Copie corrigée - %1").arg(name),
                          CorrectedCopies::report(m_statistics, {size_t(row)}, *m_questionnaire, m_title), this);
}

QWidget *StatisticsWindow::createCountingChoice()
{
    auto *choice = new QWidget(this);
    auto *row = new QHBoxLayout(choice);
    row->setContentsMargins(0, 0, 0, 2);
    CountingBox = new QComboBox(choice);
    CountingBox->setObjectName(QStringLiteral("CountingBox"));
    for (ResultsStatistics::Counting counting :
         {ResultsStatistics::Counting::OneCopyPerPupil, ResultsStatistics::Counting::EveryCopy})
        CountingBox->addItem(StatisticsReport::countingChoice(counting));
    CountingBox->setCurrentIndex(m_statistics.counting == ResultsStatistics::Counting::OneCopyPerPupil ? 0 : 1);
    CountingBox->setToolTip(StatisticsReport::countingText(m_statistics));
    auto *label = new QLabel(tr("Copies co&mptées :"), choice);
    label->setBuddy(CountingBox);
    row->addWidget(label);
    row->addWidget(CountingBox);
    connect(CountingBox, &QComboBox::currentIndexChanged, this, &StatisticsWindow::countCopies);
    return choice;
}

// The class figures, charts and tables again, the copies counted the chosen way.
void StatisticsWindow::countCopies(int choice)
{
    m_statistics = m_statistics.countedAs(choice == 0 ? ResultsStatistics::Counting::OneCopyPerPupil
                                                      : ResultsStatistics::Counting::EveryCopy);
    MarksSummary->setText(StatisticsReport::marksSummary(m_statistics));
    CountingBox->setToolTip(StatisticsReport::countingText(m_statistics));
    fillQuestionGrid(m_statistics);
    fillPupilGrid(m_statistics);
    QWidget *old = m_split->widget(0);
    const QList<int> sizes = m_split->sizes();
    QWidget *charts = createCharts(m_statistics, m_charts);
    m_split->replaceWidget(0, charts);
    m_split->setSizes(sizes);
    if (old != charts)
        old->deleteLater();
}

bool StatisticsWindow::eventFilter(QObject *watched, QEvent *event)
{
    auto *grid = qobject_cast<QTableWidget *>(watched);
    if (grid && event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
        copyTable(*grid);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// Tab between the cells and a line per row, the headers first: what a spreadsheet pastes as a
// table.
void StatisticsWindow::copyTable(const QTableWidget &grid)
{
    QString text;
    QStringList cells;
    for (int column = 0; column < grid.columnCount(); ++column)
        cells << grid.horizontalHeaderItem(column)->text();
    text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (int row = 0; row < grid.rowCount(); ++row) {
        cells.clear();
        for (int column = 0; column < grid.columnCount(); ++column)
            cells << (grid.item(row, column) ? grid.item(row, column)->text() : QString());
        text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    QApplication::clipboard()->setText(text);
}

QLabel *StatisticsWindow::createNote(const QString &text, const QString &name)
{
    auto *note = new QLabel(text, this);
    note->setObjectName(name);
    note->setTextFormat(Qt::PlainText);
    note->setWordWrap(true);
    return note;
}

void StatisticsWindow::createQuestionGrid(const ResultsStatistics &statistics)
{
    QuestionGrid = makeGrid(this, QStringLiteral("QuestionGrid"),
                            {tr("Question"), tr("Réponses"), tr("Justes"), StatisticsReport::shareCaption(),
                             StatisticsReport::facilityCaption(), tr("Discrimination"), tr("À revoir"), tr("1)"), tr("2)"),
                             tr("3)"), tr("4)"), tr("5)")},
                            int(statistics.questions.size()));
    QuestionGrid->setAccessibleName(tr("Statistiques par question"));
    QuestionGrid->horizontalHeaderItem(ShareColumn)->setToolTip(StatisticsReport::shareHint());
    QuestionGrid->horizontalHeaderItem(FacilityColumn)->setToolTip(StatisticsReport::facilityHint());
    QuestionGrid->horizontalHeaderItem(DiscriminationColumn)
        ->setToolTip(tr("Corrélation, de -1 à 1, entre les points obtenus à la question et la note sur les autres "
                        "questions : au-dessus de 0,3 la question sépare bien les élèves qui ont réussi de ceux qui "
                        "n'ont pas réussi ; négative, elle est à revoir."));
    QuestionGrid->horizontalHeaderItem(ReviewColumn)
        ->setToolTip(tr("Discrimination négative, ou moins de 10 % de bonnes réponses : une bonne réponse mal "
                        "désignée en est la cause habituelle."));
    for (int a = 0; a < QcmFormat::AnswerCount; ++a)
        QuestionGrid->horizontalHeaderItem(FirstAnswerColumn + a)->setToolTip(StatisticsReport::tickedHint());
    fillQuestionGrid(statistics);
}

void StatisticsWindow::fillQuestionGrid(const ResultsStatistics &statistics)
{
    for (size_t q = 0; q < statistics.questions.size(); ++q) {
        const ResultsStatistics::Question &question = statistics.questions[q];
        const int row = int(q);
        QuestionGrid->setItem(row, 0, cell(question.caption));
        QuestionGrid->setItem(row, 1, cell(QString::number(question.answered), true));
        QuestionGrid->setItem(row, 2, cell(QString::number(question.right), true));
        QuestionGrid->setItem(row, ShareColumn, cell(StatisticsReport::percent(statistics.shareRight(q)), true));
        QuestionGrid->setItem(row, FacilityColumn, cell(StatisticsReport::facility(question), true));
        QuestionGrid->setItem(row, DiscriminationColumn,
                              cell(question.marked() ? StatisticsReport::discrimination(question.analysis.discrimination)
                                                     : QString(),
                                   true));
        const QString reason = StatisticsReport::reviewReason(question);
        QTableWidgetItem *review = cell(reason.isEmpty() ? QString() : StatisticsReport::reviewText());
        if (!reason.isEmpty()) {
            review->setToolTip(reason);
            review->setForeground(QColor(0xa0, 0x1c, 0x1c));
            QuestionGrid->item(row, 0)->setToolTip(reason);
        }
        QuestionGrid->setItem(row, ReviewColumn, review);
        // The share that ticked each answer; the right ones in bold, so a wrong answer many chose
        // stands out beside them.
        for (int a = 1; a <= int(question.chosen.size()); ++a) {
            const QString share = StatisticsReport::tickedShare(statistics, q, a);
            QTableWidgetItem *ticked = cell(share, true);
            if (!share.isEmpty())
                ticked->setToolTip(StatisticsReport::tickedDescription(statistics, q, a));
            if (question.isRight(a)) {
                QFont bold = ticked->font();
                bold.setBold(true);
                ticked->setFont(bold);
            }
            QuestionGrid->setItem(row, FirstAnswerColumn + a - 1, ticked);
        }
    }
}

void StatisticsWindow::createPupilGrid(const ResultsStatistics &statistics)
{
    PupilGrid = makeGrid(this, QStringLiteral("PupilGrid"),
                         {tr("Élève"), tr("Date"), tr("Passation"), tr("État"), tr("Score"), tr("Note")},
                         int(statistics.pupils.size()));
    PupilGrid->setAccessibleName(tr("Scores par élève"));
    PupilGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    fillPupilGrid(statistics);
}

// A copy the class figures leave out is greyed, its reason in its tooltip.
void StatisticsWindow::fillPupilGrid(const ResultsStatistics &statistics)
{
    for (size_t p = 0; p < statistics.pupils.size(); ++p) {
        const ResultsStatistics::Pupil &pupil = statistics.pupils[p];
        const int row = int(p);
        PupilGrid->setItem(row, 0, cell(StatisticsReport::pupilName(pupil.name)));
        PupilGrid->setItem(row, 1, cell(pupil.date + QLatin1Char(' ') + pupil.time));
        PupilGrid->setItem(row, 2, cell(ResultsFile::wayText(pupil.way)));
        PupilGrid->setItem(row, 3, cell(StatisticsReport::stateText(pupil)));
        PupilGrid->setItem(row, 4, cell(QStringLiteral("%1 / %2").arg(pupil.right).arg(pupil.count), true));
        QTableWidgetItem *mark = cell(StatisticsReport::markText(pupil.mark, pupil.scale), true);
        if (pupil.mark && !pupil.markKept)
            mark->setToolTip(tr("Calculée d'après les réponses : le fichier a été commencé avant que les notes y soient "
                                "enregistrées."));
        PupilGrid->setItem(row, 5, mark);
        if (!pupil.counted) {
            const QString why = pupil.removed    ? tr("Retirée de la classe : jamais comptée.")
                                : !pupil.finished ? tr("Inachevée : hors des chiffres de la classe.")
                                                  : tr("Une autre copie de cet élève est comptée.");
            for (int column = 0; column < PupilGrid->columnCount(); ++column) {
                PupilGrid->item(row, column)->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
                if (PupilGrid->item(row, column)->toolTip().isEmpty())
                    PupilGrid->item(row, column)->setToolTip(why);
            }
        }
    }
}

QWidget *StatisticsWindow::createCharts(const ResultsStatistics &statistics, const StatisticsChartModule &charts)
{
    QList<StatisticsChartBar> bars;
    for (size_t q = 0; q < statistics.questions.size(); ++q) {
        const double share = statistics.shareRight(q);
        const QString &caption = statistics.questions[q].caption;
        bars.append({caption, share * 100, tr("%1 : %2 de bonnes réponses, blancs compris").arg(caption, StatisticsReport::percent(share))});
    }
    QString why;
    Chart = charts.makeChart(bars, this, &why);
    if (!Chart) {
        // One line says the module is missing, for both charts.
        MarksChart = createNote(why, QStringLiteral("MarksChart"));
        return MarksChart;
    }
    Chart->setObjectName(QStringLiteral("Chart"));

    const MarkSummary &marks = statistics.marks;
    if (marks.count > 0) {
        StatisticsChartMarks bins{{}, QString::number(statistics.scale), tr("Note sur %1").arg(statistics.scale)};
        for (size_t bin = 0; bin < marks.distribution.size(); ++bin)
            bins.bins.append({StatisticsReport::binCaption(marks, bin), double(marks.distribution[bin]),
                              StatisticsReport::binDescription(marks, bin)});
        MarksChart = charts.makeMarksChart(bins, this, &why);
        if (!MarksChart)
            MarksChart = createNote(why, QString());
    } else {
        // The summary above says why there is no mark to draw.
        QLabel *none = createNote(StatisticsReport::marksSummary(statistics), QString());
        none->setAlignment(Qt::AlignCenter);
        MarksChart = none;
    }
    MarksChart->setObjectName(QStringLiteral("MarksChart"));
    auto *both = new QSplitter(Qt::Horizontal, this);
    both->addWidget(MarksChart);
    both->addWidget(Chart);
    // The questions' chart may have many bars; the marks' has twenty at most.
    both->setStretchFactor(0, 2);
    both->setStretchFactor(1, 3);
    return both;
}
