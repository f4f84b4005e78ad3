#include "app/marksexportcommand.h"

#include "app/resultsstatisticscommand.h"
#include "platform/filedialogs.h"
#include "platform/messageboxes.h"
#include "platform/services.h"
#include "results/marksexport.h"
#include "results/marksexportdialog.h"

#include <QDir>
#include <QFileInfo>

void MarksExportCommand::run(const QString &fileName, const QStringList &document, const QString &classListFolder,
                             Services &services, QWidget *parent)
{
    const std::optional<ResultsStatisticsCommand::ClassResults> results =
        ResultsStatisticsCommand::find(fileName, document, services);
    if (!results)
        return;
    // A class with nothing to export is told so before any question is asked.
    MarksExport::Options everything;
    everything.countUnfinished = true;
    MarksExport::of(results->statistics, everything);

    MarksExportDialog dialog(results->statistics, ClassListStore(classListFolder), parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const MarksExport::Table table = MarksExport::of(results->statistics, dialog.options());

    const QFileInfo resultsFile(results->path);
    const QString name = fileName.isEmpty() ? resultsFile.completeBaseName() : QFileInfo(fileName).completeBaseName();
    QString path = services.dialogs.saveFile(tr("Notes (*.csv)|*.csv"), resultsFile.dir().filePath(name + tr("-notes.csv")));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        path += QStringLiteral(".csv");
    // The save dialog asks nothing: the name is only known now, ".csv" added.
    MarksExport::checkTarget(path);
    if (QFileInfo::exists(path)
        && services.boxes.showWithDefault(MessageIcon::Warning,
                                          tr("Le fichier %1 existe déjà. Le remplacer ?").arg(QDir::toNativeSeparators(path)),
                                          MessageButtons::YesNo, MessageAnswer::No)
               != MessageAnswer::Yes)
        return;
    MarksExport::write(path, table);
    services.boxes.inform(MarksExport::summary(table, path));
}
