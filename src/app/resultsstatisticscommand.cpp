#include "app/resultsstatisticscommand.h"

#include "platform/apperror.h"
#include "platform/filedialogs.h"
#include "platform/messageboxes.h"
#include "platform/services.h"
#include "results/resultsfile.h"
#include "results/statisticswindow.h"
#include "runner/runsession.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The results file the person picks; empty when they decline or cancel.
QString chooseOtherFile(const QString &question, const QString &folder, MessageBoxes &boxes, FileDialogs &dialogs)
{
    if (boxes.show(MessageIcon::Question, question, MessageButtons::YesNo) != MessageAnswer::Yes)
        return QString();
    return dialogs.openFile(ResultsStatisticsCommand::tr("Résultats (*.csv)|*.csv"), folder,
                            FileDialogs::Folder::KeepCurrent);
}

} // namespace

QString ResultsStatisticsCommand::questionnaireTitle(const QString &fileName, const QString &resultsPath)
{
    if (!fileName.isEmpty())
        return QFileInfo(fileName).completeBaseName();
    QString name = QFileInfo(resultsPath).completeBaseName();
    const QString suffix = QStringLiteral("-resultats");
    const qsizetype at = name.lastIndexOf(suffix);
    return at > 0 ? name.left(at) : name;
}

std::optional<ResultsStatisticsCommand::ClassResults>
ResultsStatisticsCommand::find(const QString &fileName, const QStringList &document, Services &services)
{
    // The titles of the questionnaire as it stands, as a run names them.
    RunSession session;
    session.Init(document);
    session.Compte();
    const QStringList captions = ResultsFile::header(session.score(0)).mid(ResultsFile::FixedColumnCount);

    // The questionnaire's own series first; else a file the person picks, checked here.
    QString found;
    ResultsSheet sheet;
    const QString path =
        fileName.isEmpty() ? QString() : ResultsFile::pathFor(QFileInfo(fileName).absolutePath(), fileName);
    if (!path.isEmpty())
        found = ResultsFile::findFor(path, captions, &sheet);
    if (found.isEmpty()) {
        const QString question =
            path.isEmpty() ? tr("Le questionnaire n'a pas encore de fichier : ses résultats sont enregistrés à côté "
                                "de lui, une fois le questionnaire enregistré.\nOuvrir un fichier de résultats ?")
                           : tr("Aucun résultat enregistré pour ce questionnaire dans ses questions actuelles (%1).\n"
                                "Ouvrir un autre fichier de résultats ?")
                                 .arg(QDir::toNativeSeparators(path));
        found = chooseOtherFile(question, path.isEmpty() ? QDir::homePath() : QFileInfo(path).absolutePath(),
                                services.boxes, services.dialogs);
        if (found.isEmpty())
            return std::nullopt;
        sheet = ResultsFile::read(found);
        if (sheet.questions != captions)
            throw AppError(tr("Les questions du fichier de résultats %1 ne sont pas celles du questionnaire ouvert : "
                              "ses colonnes ne peuvent pas être comptées.")
                               .arg(QDir::toNativeSeparators(found)));
    }
    // The right answers and settings of today: a run kept before marks is marked by them.
    return ClassResults{found, ResultsStatistics::of(sheet, ClassQuestionnaire::fromLines(document))};
}

void ResultsStatisticsCommand::show(const QString &fileName, const QStringList &document, Services &services,
                                    QWidget *parent)
{
    const std::optional<ClassResults> results = find(fileName, document, services);
    if (!results)
        return;
    // The chart's module is looked for beside the program now, and loaded with the first chart.
    StatisticsWindow window(results->path, results->statistics, services, StatisticsChartModule(), parent);
    window.allowCorrectedCopies(ClassQuestionnaire::fromLines(document), questionnaireTitle(fileName, results->path));
    window.exec();
}
