#include "results/correctedcopies.h"

#include "classroom/classscore.h"
#include "classroom/classversion.h"
#include "platform/apperror.h"
#include "results/pupilcopies.h"
#include "results/statisticsreport.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

// Closer than this, two marks are the same (they are kept to the hundredth).
constexpr double SameMark = 0.005;

// "2) Paris", numbered as the pupil saw it; "aucune" without an answer.
QString answerText(const ClassQuestion &question, const ClassVersion &version, int answer)
{
    if (answer < 1 || answer > int(question.answers.size()))
        return CorrectedCopies::tr("aucune");
    const int shown = version.shownPlace(question.number, answer);
    const QString text = question.answers[size_t(answer - 1)].trimmed();
    return shown > 0 ? CorrectedCopies::tr("%1) %2").arg(shown).arg(text) : text;
}

// "2) Paris, 4) Lyon": the answers of the set, in the order the pupil saw them; "aucune" for
// none.
QString answersText(const ClassQuestion &question, const ClassVersion &version, AnswerSet set)
{
    std::vector<std::pair<int, int>> shown; // place shown, answer
    for (int a = 1; a <= int(question.answers.size()); ++a) {
        if (AnswerSets::contains(set, a))
            shown.emplace_back(version.shownPlace(question.number, a), a);
    }
    if (shown.empty())
        return CorrectedCopies::tr("aucune");
    std::sort(shown.begin(), shown.end());
    QStringList texts;
    for (const auto &[place, answer] : shown)
        texts << answerText(question, version, answer);
    return texts.join(QStringLiteral(", "));
}

// The version the pupil answered: from its seed; a rehearsal, or a copy kept before versions
// were, in the questionnaire's own order.
ClassVersion versionOf(const ResultsStatistics::Pupil &copy, const ClassQuestionnaire &questionnaire)
{
    if (copy.seed)
        return ClassVersion::build(questionnaire, questionnaire.settings(), *copy.seed);
    ClassSettings inOrder = questionnaire.settings();
    inOrder.shuffleQuestions = inOrder.shuffleAnswers = false;
    return ClassVersion::build(questionnaire, inOrder, 0);
}

} // namespace

std::vector<size_t> CorrectedCopies::toHandBack(const ResultsStatistics &statistics)
{
    PupilCopies::Options options;
    options.countUnfinished = true;
    std::vector<PupilCopies::Chosen> chosen = PupilCopies::choose(statistics, options);
    if (chosen.empty())
        throw AppError(tr("Aucune copie d'élève à corriger : les passations enregistrées n'ont pas de nom d'élève, ou "
                          "aucune question n'a de bonne réponse."));
    QCollator collator(QLocale(QLocale::French, QLocale::France));
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(chosen.begin(), chosen.end(), [&collator](const PupilCopies::Chosen &a, const PupilCopies::Chosen &b) {
        return collator.compare(a.name, b.name) < 0;
    });
    std::vector<size_t> copies;
    copies.reserve(chosen.size());
    for (const PupilCopies::Chosen &pupil : chosen)
        copies.push_back(pupil.used.back());
    return copies;
}

QString CorrectedCopies::verdictText(const ClassQuestion &question, int answer)
{
    if (!question.marked())
        return tr("Non notée");
    if (answer == 0)
        return tr("Sans réponse");
    return question.rightAnswer == answer ? tr("Juste") : tr("Faux");
}

QString CorrectedCopies::verdictText(const ClassQuestion &question, const ClassSettings &settings, AnswerSet ticked)
{
    const ClassMarking::QuestionMark mark = ClassMarking::markQuestion(question, settings, ticked);
    switch (mark.outcome) {
    case ClassScore::Outcome::Right: return tr("Juste");
    case ClassScore::Outcome::Wrong: return mark.points > 0 ? tr("En partie juste") : tr("Faux");
    case ClassScore::Outcome::Unanswered: return tr("Sans réponse");
    case ClassScore::Outcome::NotMarked: break;
    }
    return tr("Non notée");
}

Report CorrectedCopies::report(const ResultsStatistics &statistics, const std::vector<size_t> &copies,
                               const ClassQuestionnaire &questionnaire, const QString &title)
{
    Report report;
    for (size_t copy : copies)
        addCopy(report, statistics, copy, questionnaire, title);
    return report;
}

void CorrectedCopies::addCopy(Report &report, const ResultsStatistics &statistics, size_t index,
                              const ClassQuestionnaire &questionnaire, const QString &title)
{
    const ResultsStatistics::Pupil &copy = statistics.pupils.at(index);
    const QString name = StatisticsReport::pupilName(copy.name.simplified());
    report.add(ReportText::Section, name);
    report.add(ReportText::Heading, name);
    QString taken = tr("%1 : copie du %2 à %3 (%4)")
                        .arg(title, copy.date.trimmed(), copy.time.trimmed().left(5), ResultsFile::wayText(copy.way));
    if (!copy.finished)
        taken += tr(", inachevée");
    report.add(ReportText::Plain, taken);
    const std::optional<double> mark = statistics.markOnScale(copy);
    // French puts 0 and 1 in the singular.
    const QString score = copy.right <= 1 ? tr("%1 bonne réponse sur %2").arg(copy.right).arg(copy.count)
                                          : tr("%1 bonnes réponses sur %2").arg(copy.right).arg(copy.count);
    report.add(ReportText::Bold, mark ? tr("Note : %1 (%2)").arg(StatisticsReport::markText(mark, statistics.scale), score)
                                      : tr("Pas de note : aucune question n'est notée."));
    if (mark && copy.currentMark && std::abs(*mark - *copy.currentMark) > SameMark)
        report.add(ReportText::Plain, tr("Avec les bonnes réponses actuelles du questionnaire, ces réponses valent %1.")
                                          .arg(StatisticsReport::markText(copy.currentMark, statistics.scale)));

    const ClassVersion version = versionOf(copy, questionnaire);
    int shownCount = 0; // the questions numbered as the pupil saw them
    for (int position = 0; position < version.size(); ++position) {
        const int number = version.questionAt(position);
        const ClassQuestion &question = questionnaire.question(number);
        if (!copy.held(size_t(number)))
            continue;
        const AnswerSet ticked = size_t(number) < copy.ticked.size() ? copy.ticked[size_t(number)] : AnswerSet(0);
        report.add(ReportText::Subheading, tr("%1. %2").arg(++shownCount).arg(question.title.trimmed()));
        for (const QString &line : question.statement) {
            if (!line.trimmed().isEmpty())
                report.add(ReportText::Plain, line);
        }
        const QString verdict = verdictText(question, questionnaire.settings(), ticked);
        report.add(ReportText::Plain, AnswerSets::count(ticked) >= 2
                                          ? tr("Réponses cochées : %1 - %2").arg(answersText(question, version, ticked), verdict)
                                          : tr("Réponse donnée : %1 - %2").arg(answersText(question, version, ticked), verdict));
        if (question.severalRight())
            report.add(ReportText::Bold, tr("Bonnes réponses : %1").arg(answersText(question, version, question.rightAnswers)));
        else if (question.marked())
            report.add(ReportText::Bold, tr("Bonne réponse : %1").arg(answerText(question, version, *question.rightAnswer)));
        // What the author wrote for each answer ticked, in the order the pupil saw them.
        std::vector<std::pair<int, int>> commented;
        for (int a = 1; a <= int(question.feedback.size()); ++a) {
            if (AnswerSets::contains(ticked, a) && !question.feedback[size_t(a - 1)].trimmed().isEmpty())
                commented.emplace_back(version.shownPlace(number, a), a);
        }
        std::sort(commented.begin(), commented.end());
        for (const auto &[place, answer] : commented)
            report.add(ReportText::Plain, tr("Sur la réponse %1 : %2")
                                              .arg(answerText(question, version, answer),
                                                   question.feedback[size_t(answer - 1)].trimmed()));
        if (!question.correction.isEmpty())
            report.add(ReportText::Plain, tr("Correction : %1").arg(question.correction.join(QLatin1Char('\n'))));
    }
}
