#include "runner/resultat.h"

#include "platform/errorguard.h"
#include "platform/messageboxes.h"
#include "platform/printdialogs.h"
#include "platform/services.h"
#include "platform/systemclock.h"
#include "results/reportprinting.h"
#include "results/resultsfile.h"
#include "runner/pupilnamedialog.h"
#include "runner/resultsreport.h"
#include "runner/resultstable.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int TopBarHeight = 33;
// Row-number column, then title, answer, right answer and mark, as set at each showing.
constexpr int NumberColumnWidth = 64;
constexpr int ColumnWidths[] = {290, 70, 70, 10};

// The wait cursor for as long as it lives, whichever way the work ends.
struct WaitCursor
{
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace

TResultat::TResultat(Services &services, QWidget *parent)
    : QDialog(parent), m_services(services)
{
    setWindowTitle(tr("Resultat"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(DesignWidth, DesignHeight);

    Button1 = new QPushButton(tr("Fermer"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    QFont bold = Button1->font();
    bold.setBold(true);
    Button1->setFont(bold);
    Button1->setGeometry(431, 4, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TResultat::Button1Click);
    createButtons();
    createGrid();
    // Ctrl+C copies the whole grid, not only the cell the grid's own copy would take.
    StringGrid1->installEventFilter(this);
}

void TResultat::createButtons()
{
    Button2 = new QPushButton(tr("&Enregistrer..."), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(221, 4, 100, 25);
    Button2->setToolTip(tr("Ajouter ces résultats au fichier de résultats du questionnaire"));
    connect(Button2, &QPushButton::clicked, this, &TResultat::Button2Click);
    Button3 = new QPushButton(tr("&Imprimer..."), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(326, 4, 100, 25);
    connect(Button3, &QPushButton::clicked, this, &TResultat::Button3Click);
}

void TResultat::setQuestionnaireFile(std::function<QString()> currentFileName)
{
    m_currentFileName = std::move(currentFileName);
}

QString TResultat::questionnaireFile() const
{
    return m_currentFileName ? m_currentFileName() : QString();
}

bool TResultat::askPupil(QString *resultsPath)
{
    PupilNameDialog dialog(m_services.dialogs, m_pupil, resultsPath ? *resultsPath : QString(), this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    m_pupil = dialog.name();
    if (resultsPath)
        *resultsPath = dialog.resultsPath();
    return true;
}

void TResultat::Button2Click()
{
    const QString questionnaire = questionnaireFile();
    QString folder = m_lastFolder;
    if (folder.isEmpty())
        folder = questionnaire.isEmpty() ? QDir::homePath() : QFileInfo(questionnaire).absolutePath();
    QString path = ResultsFile::pathFor(folder, questionnaire);
    if (!askPupil(&path))
        return;
    runGuarded(m_services.boxes, [&] { keepRun(path); });
}

void TResultat::keepRun(QString path)
{
    KeptRun run;
    run.when = m_services.clock.now();
    run.pupil = m_pupil;
    run.results = m_table->results();
    for (;;) {
        try {
            const ResultsFile::Saved saved = appendRepainting(path, run);
            m_lastFolder = QFileInfo(saved.path).absolutePath();
            if (saved.notice.isEmpty())
                m_services.boxes.inform(tr("Résultats enregistrés dans %1.").arg(QDir::toNativeSeparators(saved.path)));
            else
                m_services.boxes.warn(saved.notice);
            return;
        } catch (const ResultsFile::Busy &busy) {
            if (m_services.boxes.show(MessageIcon::Question, tr("%1\n\nRéessayer ?").arg(busy.message()), MessageButtons::YesNo)
                != MessageAnswer::Yes)
                return;
        } catch (const ResultsFile::Refused &refused) {
            if (m_services.boxes.show(MessageIcon::Question,
                                      tr("%1\n\nEnregistrer les résultats à un autre emplacement ?").arg(refused.message()),
                                      MessageButtons::YesNo)
                != MessageAnswer::Yes)
                return;
            const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
            const QString elsewhere = QFileInfo(documents).isDir() ? documents : QDir::homePath();
            path = PupilNameDialog::askResultsFile(m_services.dialogs,
                                                   QDir(elsewhere).filePath(QFileInfo(path).fileName()));
            if (path.isEmpty())
                return;
        }
    }
}

ResultsFile::Saved TResultat::appendRepainting(const QString &path, const KeptRun &run)
{
    // Another computer or window is adding its run: the windows keep painting meanwhile, but
    // take no clicks, so that nothing starts a second addition.
    ResultsFile::LockWait wait;
    wait.whileWaiting = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    const WaitCursor busy;
    return ResultsFile::append(path, run, wait);
}

void TResultat::Button3Click()
{
    if (!askPupil(nullptr))
        return;
    const QString questionnaire = questionnaireFile();
    const QString name = questionnaire.isEmpty() ? tr("Questionnaire sans nom") : QFileInfo(questionnaire).completeBaseName();
    ReportPrinting::print(m_services.printDialogs, tr("Résultats - %1").arg(name),
                          ResultsReport::report(name, m_pupil, m_services.clock.now(), m_table->results()), this);
}

void TResultat::createGrid()
{
    m_table = new ResultsTable(this);
    StringGrid1 = new QTableView(this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setAccessibleName(tr("Résultats"));
    StringGrid1->setGeometry(0, TopBarHeight, DesignWidth, DesignHeight - TopBarHeight);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    // A mark of one character must show whole in its narrow column.
    StringGrid1->setTextElideMode(Qt::ElideNone);
    StringGrid1->setWordWrap(false);
    StringGrid1->horizontalHeader()->setHighlightSections(false);
    // The grid keeps its columns' widths: the mark's narrow column is not stretched to the edge.
    StringGrid1->horizontalHeader()->setStretchLastSection(false);
    StringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    StringGrid1->horizontalHeader()->setMinimumSectionSize(ColumnWidths[3]);
    StringGrid1->verticalHeader()->setHighlightSections(false);
    StringGrid1->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    // Fixed row heights: a run of 10,000 questions opens without measuring every row.
    StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid1->verticalHeader()->setDefaultSectionSize(StringGrid1->fontMetrics().height() + 6);
}

// The grid takes its table when the window first shows: the grid then sizes its headers, in a
// bold font of their own, which the program would otherwise do at start-up for a hidden window.
void TResultat::attachTable()
{
    if (StringGrid1->model() != m_table)
        StringGrid1->setModel(m_table);
}

void TResultat::showResults(RunResults results)
{
    attachTable();
    m_table->setResults(std::move(results));
    StringGrid1->scrollToTop();
    exec();
}

void TResultat::clear()
{
    m_table->clear();
}

QString TResultat::cellText(int column, int row) const
{
    return m_table->cellText(column, row);
}

void TResultat::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TResultat::FormShow()
{
    attachTable();
    StringGrid1->verticalHeader()->setFixedWidth(NumberColumnWidth);
    for (int column = 0; column < int(std::size(ColumnWidths)); ++column)
        StringGrid1->setColumnWidth(column, ColumnWidths[column]);
    // Over the runner, which is maximised: in the middle of its screen.
    const QWidget *over = parentWidget() ? parentWidget()->window() : nullptr;
    const QRect area = over ? over->geometry()
                            : (screen() ? screen()->availableGeometry() : QRect(QPoint(0, 0), size()));
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void TResultat::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy))
        copyToClipboard();
    else
        QDialog::keyPressEvent(event);
}

bool TResultat::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == StringGrid1 && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
        copyToClipboard();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TResultat::copyToClipboard()
{
    QApplication::clipboard()->setText(m_table->toText());
}

void TResultat::Button1Click()
{
    accept();
}
