#include "runner/statisticsreport.h"

#include <QFileInfo>

namespace {

QString cell(const QString &text, bool emphasised = false)
{
    const QString escaped = text.toHtmlEscaped();
    return emphasised ? QStringLiteral("<td><b>%1</b></td>").arg(escaped) : QStringLiteral("<td>%1</td>").arg(escaped);
}

QString header(const QStringList &captions)
{
    QString row = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"><thead><tr>");
    for (const QString &caption : captions)
        row += QStringLiteral("<th>%1</th>").arg(caption.toHtmlEscaped());
    return row + QStringLiteral("</tr></thead>");
}

} // namespace

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
    page += header({tr("Question"), tr("Réponses"), tr("Justes"), tr("% justes"), tr("1)"), tr("2)"), tr("3)"), tr("4)"),
                    tr("5)")});
    for (size_t q = 0; q < statistics.questions.size(); ++q) {
        const ResultsStatistics::Question &question = statistics.questions[q];
        page += QStringLiteral("<tr>") + cell(question.caption) + cell(QString::number(question.answered))
              + cell(QString::number(question.right)) + cell(percent(statistics.shareRight(q)));
        for (size_t a = 0; a < question.chosen.size(); ++a)
            page += cell(QString::number(question.chosen[a]), question.solution == int(a + 1));
        page += QStringLiteral("</tr>");
    }
    page += QStringLiteral("</table>");

    page += QStringLiteral("<h3>%1</h3>").arg(tr("Scores par élève").toHtmlEscaped());
    page += header({tr("Élève"), tr("Date"), tr("Score")});
    for (const ResultsStatistics::Pupil &pupil : statistics.pupils) {
        page += QStringLiteral("<tr>") + cell(pupilName(pupil.name)) + cell(pupil.date + QLatin1Char(' ') + pupil.time)
              + cell(QStringLiteral("%1 / %2").arg(pupil.right).arg(pupil.count)) + QStringLiteral("</tr>");
    }
    page += QStringLiteral("</table></body></html>");
    return page;
}
