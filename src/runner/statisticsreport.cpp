#include "runner/statisticsreport.h"

#include "runner/reporthtml.h"

#include <QFileInfo>

using namespace ReportHtml;

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

QString StatisticsReport::html(const QString &resultsFile, const ResultsStatistics &statistics)
{
    QString page = QStringLiteral("<html><body>");
    page += QStringLiteral("<h2>%1</h2><p>%2</p>")
                .arg(tr("Statistiques des résultats").toHtmlEscaped(),
                     summary(resultsFile, statistics.pupils.size()).toHtmlEscaped());

    // The right answer's count is in bold, so the wrong answers many pupils chose stand out.
    page += tableHeader({tr("Question"), tr("Réponses"), tr("Justes"), tr("% justes"), tr("1)"), tr("2)"), tr("3)"), tr("4)"),
                    tr("5)")},
                   50);
    for (size_t q = 0; q < statistics.questions.size(); ++q) {
        const ResultsStatistics::Question &question = statistics.questions[q];
        page += QStringLiteral("<tr>") + cell(question.caption) + number(QString::number(question.answered))
              + number(QString::number(question.right)) + number(percent(statistics.shareRight(q)));
        for (size_t a = 0; a < question.chosen.size(); ++a)
            page += number(QString::number(question.chosen[a]), question.solution == int(a + 1));
        page += QStringLiteral("</tr>");
    }
    page += QStringLiteral("</table>");

    page += QStringLiteral("<h3>%1</h3>").arg(tr("Scores par élève").toHtmlEscaped());
    page += tableHeader({tr("Élève"), tr("Date"), tr("Score")}, 50);
    for (const ResultsStatistics::Pupil &pupil : statistics.pupils) {
        page += QStringLiteral("<tr>") + cell(pupilName(pupil.name)) + cell(pupil.date + QLatin1Char(' ') + pupil.time)
              + number(QStringLiteral("%1 / %2").arg(pupil.right).arg(pupil.count)) + QStringLiteral("</tr>");
    }
    page += QStringLiteral("</table></body></html>");
    return page;
}
