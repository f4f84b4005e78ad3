#include "app/resultsstatisticscommand.h"

#include "platform/apperror.h"
#include "platform/filedialogs.h"
#include "platform/messageboxes.h"
#include "platform/services.h"
#include "runner/resultsfile.h"
#include "runner/resultsstatistics.h"
#include "runner/runsession.h"
#include "runner/statisticswindow.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The results file the person picks; empty when they decline or cancel. The open dialog makes
// the chosen file's folder current, which would lose the questionnaire's pictures: it is put
// back.
QString chooseOtherFile(const QString &question, const QString &folder, MessageBoxes &boxes, FileDialogs &dialogs)
{
    if (boxes.show(MessageIcon::Question, question, MessageButtons::YesNo) != MessageAnswer::Yes)
        return QString();
    const QString current = QDir::currentPath();
    const QString chosen = dialogs.openFile(ResultsStatisticsCommand::tr("Résultats (*.csv)|*.csv"), folder);
    QDir::setCurrent(current);
    return chosen;
}

} // namespace

void ResultsStatisticsCommand::show(const QString &fileName, const QStringList &document, Services &services,
                                    QWidget *parent)
{
    // The titles and right answers of the questionnaire as it stands, as a run reads them.
    RunSession session;
    session.Init(document);
    session.Compte();
    const RunResults questions = session.score(0);
    std::vector<std::optional<int>> solutions;
    solutions.reserve(questions.rows.size());
    for (const RunResultRow &row : questions.rows)
        solutions.push_back(row.solution);
    const QStringList captions = ResultsFile::header(questions).mid(ResultsFile::FixedColumnCount);

    QString found;
    if (fileName.isEmpty()) {
        found = chooseOtherFile(tr("Le questionnaire n'a pas encore de fichier : ses résultats sont enregistrés à côté "
                                   "de lui, une fois le questionnaire enregistré.\nOuvrir un fichier de résultats ?"),
                                QDir::homePath(), services.boxes, services.dialogs);
    } else {
        const QString path = ResultsFile::pathFor(QFileInfo(fileName).absolutePath(), fileName);
        found = ResultsFile::findFor(path, captions);
        if (found.isEmpty())
            found = chooseOtherFile(tr("Aucun résultat enregistré pour ce questionnaire dans ses questions actuelles (%1).\n"
                                       "Ouvrir un autre fichier de résultats ?")
                                        .arg(QDir::toNativeSeparators(path)),
                                    QFileInfo(path).absolutePath(), services.boxes, services.dialogs);
    }
    if (found.isEmpty())
        return;
    const ResultsSheet sheet = ResultsFile::read(found);
    if (sheet.questions != captions)
        throw AppError(tr("Les questions du fichier de résultats %1 ne sont pas celles du questionnaire ouvert : "
                          "ses colonnes ne peuvent pas être comptées.")
                           .arg(QDir::toNativeSeparators(found)));
    StatisticsWindow window(found, ResultsStatistics::of(sheet, solutions), services, parent);
    window.exec();
}
