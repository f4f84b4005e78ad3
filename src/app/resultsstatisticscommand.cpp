#include "app/resultsstatisticscommand.h"

#include "platform/messageboxes.h"
#include "runner/resultsfile.h"
#include "runner/resultsstatistics.h"
#include "runner/runsession.h"
#include "runner/statisticswindow.h"

#include <QDir>
#include <QFileInfo>

void ResultsStatisticsCommand::show(const QString &fileName, const QStringList &document, MessageBoxes &boxes,
                                    QWidget *parent)
{
    if (fileName.isEmpty()) {
        boxes.inform(tr("Le questionnaire n'a pas encore de fichier : ses résultats sont enregistrés à côté de lui, "
                        "une fois le questionnaire enregistré."));
        return;
    }
    // The titles and right answers of the questionnaire as it stands, as a run reads them.
    RunSession session;
    session.Init(document);
    session.Compte();
    const RunResults questions = session.score(0);
    std::vector<std::optional<int>> solutions;
    solutions.reserve(questions.rows.size());
    for (const RunResultRow &row : questions.rows)
        solutions.push_back(row.solution);

    const QString path = ResultsFile::pathFor(QFileInfo(fileName).absolutePath(), fileName);
    const QString found =
        ResultsFile::findFor(path, ResultsFile::header(questions).mid(ResultsFile::FixedColumnCount));
    if (found.isEmpty()) {
        boxes.inform(tr("Aucun résultat enregistré pour ce questionnaire dans ses questions actuelles (%1).")
                         .arg(QDir::toNativeSeparators(path)));
        return;
    }
    const ResultsStatistics statistics = ResultsStatistics::of(ResultsFile::read(found), solutions);
    StatisticsWindow window(found, statistics, parent);
    window.exec();
}
