#include "runner/statisticsreport.h"

#include <QFileInfo>

QString StatisticsReport::summary(const QString &resultsFile, size_t runs)
{
    const QString file = QFileInfo(resultsFile).fileName();
    return runs == 1 ? tr("%1 : 1 passation").arg(file) : tr("%1 : %2 passations").arg(file).arg(runs);
}

QString StatisticsReport::percent(double share)
{
    return QStringLiteral("%1 %").arg(qRound(share * 100));
}

QString StatisticsReport::pupilName(const QString &name)
{
    return name.isEmpty() ? tr("(sans nom)") : name;
}

Report StatisticsReport::report(const QString &resultsFile, const ResultsStatistics &statistics)
{
    Report report;
    report.add(ReportText::Heading, tr("Statistiques des résultats"));
    report.add(ReportText::Plain, summary(resultsFile, statistics.pupils.size()));

    // The right answer's count is in bold, so the wrong answers many pupils chose stand out.
    ReportTable questions;
    questions.columns = {{tr("Question"), 35}, {tr("Réponses"), 12, true}, {tr("Justes"), 9, true},
                         {tr("% justes"), 9, true}};
    for (int a = 1; a <= 5; ++a)
        questions.columns.push_back({tr("%1)").arg(a), 7, true});
    questions.rows.reserve(statistics.questions.size());
    for (size_t q = 0; q < statistics.questions.size(); ++q) {
        const ResultsStatistics::Question &question = statistics.questions[q];
        ReportTable::Row row{{question.caption, QString::number(question.answered), QString::number(question.right),
                              percent(statistics.shareRight(q))}};
        for (size_t a = 0; a < question.chosen.size(); ++a) {
            row.cells << QString::number(question.chosen[a]);
            if (question.solution == int(a + 1))
                row.emphasised = int(row.cells.size()) - 1;
        }
        questions.rows.push_back(std::move(row));
    }
    report.add(std::move(questions));

    report.add(ReportText::Subheading, tr("Scores par élève"));
    ReportTable pupils;
    pupils.columns = {{tr("Élève"), 50}, {tr("Date"), 30}, {tr("Score"), 20, true}};
    pupils.rows.reserve(statistics.pupils.size());
    for (const ResultsStatistics::Pupil &pupil : statistics.pupils) {
        pupils.rows.push_back({{pupilName(pupil.name), pupil.date + QLatin1Char(' ') + pupil.time,
                                QStringLiteral("%1 / %2").arg(pupil.right).arg(pupil.count)}});
    }
    report.add(std::move(pupils));
    return report;
}
