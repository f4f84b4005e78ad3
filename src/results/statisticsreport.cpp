#include "results/statisticsreport.h"

#include "classroom/classscore.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

// Figures of a class to the hundredth, with the decimal comma: "12,43".
QString figure(double value)
{
    return ClassMarking::numberText(std::round(value * 100) / 100);
}

QString countText(int count)
{
    return count == 0   ? StatisticsReport::tr("aucune passation")
           : count == 1 ? StatisticsReport::tr("1 passation")
                        : StatisticsReport::tr("%1 passations").arg(count);
}

} // namespace

QString StatisticsReport::summary(const QString &resultsFile, const ResultsStatistics &statistics)
{
    const QString file = QFileInfo(resultsFile).fileName();
    const int runs = int(statistics.pupils.size());
    QString text = tr("%1 : %2").arg(file, countText(runs));
    const int unfinished = statistics.unfinishedRuns();
    if (unfinished == 1)
        text += tr(", dont 1 inachevée, laissée hors des chiffres de la classe");
    else if (unfinished > 1)
        text += tr(", dont %1 inachevées, laissées hors des chiffres de la classe").arg(unfinished);
    const int removed = statistics.removedRuns();
    if (removed == 1)
        text += tr(", 1 retirée de la classe");
    else if (removed > 1)
        text += tr(", %1 retirées de la classe").arg(removed);
    return text;
}

QString StatisticsReport::percent(double share)
{
    return QStringLiteral("%1 %").arg(qRound(share * 100));
}

QString StatisticsReport::pupilName(const QString &name)
{
    return name.isEmpty() ? tr("(sans nom)") : name;
}

QString StatisticsReport::markText(std::optional<double> mark, int scale)
{
    return mark ? ClassMarking::numberText(*mark) + QStringLiteral(" / ") + QString::number(scale) : QString();
}

QString StatisticsReport::marksSummary(const ResultsStatistics &statistics)
{
    const MarkSummary &marks = statistics.marks;
    if (marks.count == 0) {
        const bool anyMarked = std::any_of(statistics.questions.cbegin(), statistics.questions.cend(),
                                           [](const ResultsStatistics::Question &question) { return question.marked(); });
        if (!anyMarked)
            return tr("Pas de note : aucune question du questionnaire n'a de bonne réponse.");
        return tr("Pas de note : aucune passation terminée.");
    }
    const int scale = statistics.scale;
    return tr("Notes de %1 : moyenne %2, médiane %3, la plus basse %4, la plus haute %5, écart type %6")
        .arg(countText(marks.count), markText(std::round(marks.mean * 100) / 100, scale), markText(marks.median, scale),
             markText(marks.lowest, scale), markText(marks.highest, scale), figure(marks.standardDeviation));
}

QString StatisticsReport::changedMarksText(const ResultsStatistics &statistics)
{
    const int changed = statistics.changedMarks();
    if (changed == 0)
        return QString();
    return changed == 1 ? tr("1 note enregistrée n'est plus ce que valent ses réponses avec les bonnes réponses et les "
                             "réglages actuels du questionnaire.")
                        : tr("%1 notes enregistrées ne sont plus ce que valent leurs réponses avec les bonnes réponses "
                             "et les réglages actuels du questionnaire.")
                              .arg(changed);
}

QString StatisticsReport::changedMarksNotice(const ResultsStatistics &statistics)
{
    const QString text = changedMarksText(statistics);
    return text.isEmpty() ? text : text + QLatin1Char(' ') + tr("« Exporter les notes... » peut les recalculer.");
}

QString StatisticsReport::discrimination(const std::optional<double> &value)
{
    if (!value)
        return QStringLiteral("-");
    QString text = QString::number(*value, 'f', 2);
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text == QLatin1String("-0,00") ? QStringLiteral("0,00") : text;
}

QString StatisticsReport::reviewReason(const ResultsStatistics::Question &question)
{
    const ItemAnalysis::Item &item = question.analysis;
    if (!item.toReview)
        return QString();
    if (item.facility < ItemAnalysis::LowestFacility)
        return tr("Moins de %1 des élèves ont choisi la bonne réponse : vérifiez qu'elle est bien désignée, "
                  "puis la formulation de la question.")
            .arg(percent(ItemAnalysis::LowestFacility));
    return tr("Discrimination négative : les élèves qui réussissent le mieux le reste du questionnaire se trompent "
              "plus souvent ici que les autres. Vérifiez que la bonne réponse est bien désignée.");
}

QString StatisticsReport::stateText(const ResultsStatistics::Pupil &pupil)
{
    return pupil.removed ? tr("retirée") : pupil.finished ? tr("terminée") : tr("inachevée");
}

QString StatisticsReport::countingChoice(ResultsStatistics::Counting counting)
{
    return counting == ResultsStatistics::Counting::OneCopyPerPupil ? tr("une copie par élève (celle de l'export)")
                                                                    : tr("toutes les copies terminées");
}

QString StatisticsReport::countingText(const ResultsStatistics &statistics)
{
    const int counted = statistics.countedRuns();
    const QString copies = counted == 0 ? tr("aucune copie") : counted == 1 ? tr("1 copie") : tr("%1 copies").arg(counted);
    return statistics.counting == ResultsStatistics::Counting::OneCopyPerPupil
               ? tr("Chiffres de la classe : une copie par élève, sa dernière copie terminée (%1).").arg(copies)
               : tr("Chiffres de la classe : toutes les copies terminées (%1).").arg(copies);
}

QString StatisticsReport::shareHint()
{
    return tr("Part des copies comptées qui ont choisi la bonne réponse (toutes les bonnes réponses et elles seules "
              "quand la question en a plusieurs) : une question laissée sans réponse compte comme non réussie.");
}

QString StatisticsReport::facilityHint()
{
    return tr("Part moyenne du point de la question obtenue par les copies qui l'ont eue, blancs compris : avec le "
              "crédit partiel, une question à plusieurs bonnes réponses en partie réussie en compte une part.");
}

QString StatisticsReport::facility(const ResultsStatistics::Question &question)
{
    return question.marked() && question.analysis.takers > 0 ? percent(question.analysis.facility) : QString();
}

QString StatisticsReport::tickedShare(const ResultsStatistics &statistics, size_t question, int answer)
{
    if (!AnswerSets::contains(statistics.questions.at(question).offered, answer))
        return QString();
    return percent(statistics.shareTicking(question, answer));
}

QString StatisticsReport::tickedHint()
{
    return tr("Réponses 1) à 5) : part des copies comptées qui ont coché chaque réponse, les bonnes réponses en gras. "
              "Sur une question à plusieurs bonnes réponses, une copie compte pour chaque case cochée : les parts "
              "dépassent alors 100 % ensemble.");
}

QString StatisticsReport::tickedDescription(const ResultsStatistics &statistics, size_t question, int answer)
{
    const ResultsStatistics::Question &asked = statistics.questions.at(question);
    const int ticked = answer >= 1 && answer <= int(asked.chosen.size()) ? asked.chosen[size_t(answer - 1)] : 0;
    QString text = ticked <= 1 ? tr("%1 copie sur %2 a coché cette réponse").arg(ticked).arg(asked.taken)
                               : tr("%1 copies sur %2 ont coché cette réponse").arg(ticked).arg(asked.taken);
    if (asked.isRight(answer))
        text += tr(" : bonne réponse");
    return text;
}

QString StatisticsReport::binCaption(const MarkSummary &marks, size_t bin)
{
    return ClassMarking::numberText(marks.binWidth() * double(bin));
}

QString StatisticsReport::binRange(const MarkSummary &marks, size_t bin)
{
    const QString from = binCaption(marks, bin);
    // The last bin takes the full mark.
    if (bin + 1 == marks.distribution.size())
        return tr("De %1 à %2").arg(from, ClassMarking::numberText(marks.scale));
    return tr("De %1 à moins de %2").arg(from, binCaption(marks, bin + 1));
}

QString StatisticsReport::binDescription(const MarkSummary &marks, size_t bin)
{
    return tr("%1 : %2").arg(binRange(marks, bin), countText(marks.distribution.at(bin)));
}

Report StatisticsReport::report(const QString &resultsFile, const ResultsStatistics &statistics)
{
    Report report;
    report.add(ReportText::Heading, tr("Statistiques des résultats"));
    report.add(ReportText::Plain, summary(resultsFile, statistics));
    report.add(ReportText::Plain, countingText(statistics));
    report.add(ReportText::Bold, marksSummary(statistics));
    if (const QString notice = changedMarksNotice(statistics); !notice.isEmpty())
        report.add(ReportText::Plain, notice);

    // The distribution from the lowest mark's bin to the highest's: the empty ends say nothing.
    const MarkSummary &marks = statistics.marks;
    if (marks.count > 0) {
        report.add(ReportText::Subheading, tr("Répartition des notes"));
        ReportTable distribution;
        distribution.columns = {{tr("Notes"), 50}, {tr("Passations"), 20, true}};
        const auto first = std::find_if(marks.distribution.cbegin(), marks.distribution.cend(), [](int n) { return n > 0; });
        const auto last = std::find_if(marks.distribution.crbegin(), marks.distribution.crend(), [](int n) { return n > 0; });
        const size_t end = marks.distribution.size() - size_t(last - marks.distribution.crbegin());
        for (size_t bin = size_t(first - marks.distribution.cbegin()); bin < end; ++bin)
            distribution.rows.push_back({{binRange(marks, bin), QString::number(marks.distribution[bin])}});
        report.add(std::move(distribution));
    }

    report.add(ReportText::Subheading, tr("Questions"));
    ReportTable questions;
    // Headers wrap at spaces only: the one-word ones get the width of their word.
    questions.columns = {{tr("Question"), 24},      {tr("Réponses"), 12, true},       {tr("Justes"), 8, true},
                         {shareCaption(), 8, true}, {facilityCaption(), 10, true},  {tr("Discrimination"), 17, true},
                         {tr("À revoir"), 10}};
    questions.rows.reserve(statistics.questions.size());
    // The share that ticked each answer, in a table of its own so that both fit the page's
    // width; the right answers' shares in bold, so the wrong answers many pupils chose stand
    // out.
    ReportTable ticked;
    ticked.columns = {{tr("Question"), 40}};
    for (int a = 1; a <= QcmFormat::AnswerCount; ++a)
        ticked.columns.push_back({tr("%1)").arg(a), 8, true});
    ticked.rows.reserve(statistics.questions.size());
    QStringList reviews;
    for (size_t q = 0; q < statistics.questions.size(); ++q) {
        const ResultsStatistics::Question &question = statistics.questions[q];
        const QString reason = reviewReason(question);
        if (!reason.isEmpty())
            reviews << tr("%1 : %2").arg(question.caption, reason);
        questions.rows.push_back({{question.caption, QString::number(question.answered), QString::number(question.right),
                                   percent(statistics.shareRight(q)), facility(question),
                                   question.marked() ? discrimination(question.analysis.discrimination) : QString(),
                                   reason.isEmpty() ? QString() : reviewText()}});
        ReportTable::Row row{{question.caption}};
        for (int a = 1; a <= int(question.chosen.size()); ++a) {
            row.cells << tickedShare(statistics, q, a);
            if (question.isRight(a))
                row.emphasised << int(row.cells.size()) - 1;
        }
        ticked.rows.push_back(std::move(row));
    }
    report.add(std::move(questions));
    report.add(ReportText::Plain, shareHint());
    report.add(ReportText::Plain, facilityHint());
    report.add(ReportText::Subheading, tr("Réponses cochées"));
    report.add(std::move(ticked));
    report.add(ReportText::Plain, tickedHint());
    if (!reviews.isEmpty()) {
        report.add(ReportText::Subheading, tr("Questions à revoir"));
        for (const QString &review : reviews)
            report.add(ReportText::Plain, review);
    }

    report.add(ReportText::Subheading, tr("Scores par élève"));
    ReportTable pupils;
    pupils.columns = {{tr("Élève"), 34}, {tr("Date"), 22}, {tr("Passation"), 12}, {tr("État"), 12},
                      {tr("Score"), 10, true}, {tr("Note"), 10, true}};
    pupils.rows.reserve(statistics.pupils.size());
    for (const ResultsStatistics::Pupil &pupil : statistics.pupils) {
        pupils.rows.push_back({{pupilName(pupil.name), pupil.date + QLatin1Char(' ') + pupil.time,
                                ResultsFile::wayText(pupil.way),
                                // Paper has no grey: a finished copy the figures leave out says so.
                                pupil.finished && !pupil.counted ? tr("%1, non comptée").arg(stateText(pupil)) : stateText(pupil),
                                QStringLiteral("%1 / %2").arg(pupil.right).arg(pupil.count), markText(pupil.mark, pupil.scale)}});
    }
    report.add(std::move(pupils));
    return report;
}
