#include "app/correctedcopiescommand.h"

#include "app/resultsstatisticscommand.h"
#include "platform/services.h"
#include "results/correctedcopies.h"
#include "results/reportprinting.h"

void CorrectedCopiesCommand::run(const QString &fileName, const QStringList &document, Services &services, QWidget *parent)
{
    const std::optional<ResultsStatisticsCommand::ClassResults> results =
        ResultsStatisticsCommand::find(fileName, document, services);
    if (!results)
        return;
    // Told before the print dialog when no pupil has a copy to correct.
    const std::vector<size_t> copies = CorrectedCopies::toHandBack(results->statistics);
    const QString title = ResultsStatisticsCommand::questionnaireTitle(fileName, results->path);
    ReportPrinting::print(services.printDialogs, tr("Copies corrigées - %1").arg(title),
                          CorrectedCopies::report(results->statistics, copies, ClassQuestionnaire::fromLines(document), title),
                          parent);
}
