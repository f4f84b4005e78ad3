#include "runner/resultsreport.h"

#include "runner/reporthtml.h"
#include "runner/statisticsreport.h"

using namespace ReportHtml;

QString ResultsReport::html(const QString &questionnaire, const QString &pupil, const QDateTime &when,
                            const RunResults &results)
{
    QString page = QStringLiteral("<html><body>");
    page += QStringLiteral("<h2>%1</h2>").arg(tr("Résultats : %1").arg(questionnaire).toHtmlEscaped());
    page += QStringLiteral("<p>%1<br>%2<br><b>%3</b></p>")
                .arg(tr("Élève : %1").arg(StatisticsReport::pupilName(pupil)).toHtmlEscaped(),
                     tr("Date : %1 à %2")
                         .arg(when.toString(QStringLiteral("dd/MM/yyyy")), when.toString(QStringLiteral("HH:mm")))
                         .toHtmlEscaped(),
                     tr("Bonnes réponses : %1 sur %2").arg(results.rightCount).arg(results.rows.size()).toHtmlEscaped());
    page += tableHeader({tr("N°"), tr("Question"), tr("Réponse"), tr("Solution"), QString()});
    for (size_t i = 0; i < results.rows.size(); ++i) {
        const RunResultRow &row = results.rows[i];
        page += QStringLiteral("<tr>") + cell(QString::number(i + 1)) + cell(row.title)
              + cell(QString::number(row.answer))
              + cell(row.solution ? QString::number(*row.solution) : QString()) + cell(row.right ? QStringLiteral("*") : QString())
              + QStringLiteral("</tr>");
    }
    page += QStringLiteral("</table></body></html>");
    return page;
}
