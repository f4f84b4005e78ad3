#include "runner/resultsreport.h"

#include "results/statisticsreport.h"

Report ResultsReport::report(const QString &questionnaire, const QString &pupil, const QDateTime &when,
                             const RunResults &results)
{
    Report report;
    report.add(ReportText::Heading, tr("Résultats : %1").arg(questionnaire));
    report.add(ReportText::Plain, tr("Élève : %1").arg(StatisticsReport::pupilName(pupil)));
    report.add(ReportText::Plain, tr("Date : %1 à %2")
                                      .arg(when.toString(QStringLiteral("dd/MM/yyyy")), when.toString(QStringLiteral("HH:mm"))));
    report.add(ReportText::Bold, tr("Bonnes réponses : %1 sur %2").arg(results.rightCount).arg(results.rows.size()));

    ReportTable table;
    table.columns = {{tr("N°"), 8, true}, {tr("Question"), 62}, {tr("Réponse"), 12, true}, {tr("Solution"), 12, true},
                     {QString(), 6}};
    table.rows.reserve(results.rows.size());
    for (size_t i = 0; i < results.rows.size(); ++i) {
        const RunResultRow &row = results.rows[i];
        table.rows.push_back({{QString::number(i + 1), row.title, QString::number(row.answer),
                               row.solution ? QString::number(*row.solution) : QString(),
                               row.right ? QStringLiteral("*") : QString()}});
    }
    report.add(std::move(table));
    return report;
}
