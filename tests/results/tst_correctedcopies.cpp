#include "classroom/classquestionnaire.h"
#include "classroom/classversion.h"
#include "platform/apperror.h"
#include "results/correctedcopies.h"
#include "resultstestdata.h"
#include "runner/runnertestdata.h"

#include <QtTest>

namespace {

// Four questions, answers shuffled for each pupil; question n's right answer is n, its
// answers "q<n>-1" to "q<n>-4"; question 4 is not marked, question 1 has a correction.
ClassQuestionnaire questionnaire()
{
    QStringList lines;
    for (int q = 0; q < 4; ++q) {
        QStringList answers;
        for (int a = 1; a <= 4; ++a)
            answers << QStringLiteral("q%1-%2").arg(q + 1).arg(a);
        const QStringList freeText = q == 0 ? QStringList{"Énoncé de la une", "Correction :", "Parce que."} : QStringList();
        lines += RunnerTestData::block(q, QStringLiteral("Titre %1").arg(q + 1), answers,
                                       q == 3 ? QString() : QString::number(q + 1), freeText);
    }
    ClassSettings settings;
    settings.shuffleQuestions = settings.shuffleAnswers = true;
    return ClassQuestionnaire::fromLines(ClassSettingsFormat::withSettings(lines, settings));
}

// A run as a class keeps it: its version's seed in the Version column.
QStringList copyOf(const QString &name, const QString &time, const QStringList &answers, quint64 seed,
                   const QString &state = QStringLiteral("terminé"))
{
    QStringList run = ResultsTestData::run(name, "10", answers, state, "20", "09/03/2026", time);
    run[ResultsFile::WayColumn] = QStringLiteral("réseau");
    run[ResultsFile::VersionColumn] = QStringLiteral("%1").arg(seed, 16, 16, QLatin1Char('0')).toUpper();
    return run;
}

ResultsStatistics statisticsOf(const QList<QStringList> &runs)
{
    return ResultsStatistics::of(ResultsTestData::sheetOf({"Titre 1", "Titre 2", "Titre 3", "Titre 4"}, runs),
                                 questionnaire());
}

// "Deux" in order, right answers 2 and 4 with partial credit, a feedback on 1 and on 3; "Un"
// and "Trois" one-answer questions around it.
ClassQuestionnaire severalRight()
{
    const QStringList four{"a", "b", "c", "d"};
    ClassSettings settings;
    settings.severalMarking = ClassSettings::SeveralMarking::Partial;
    const QStringList lines = RunnerTestData::block(0, "Un", four, "1")
                              + RunnerTestData::block(1, "Deux", four, "2",
                                                      {"Correction :", "Bonnes réponses : 2, 4",
                                                       "Commentaire de la réponse 3 : c est impair.",
                                                       "Commentaire de la réponse 1 : a non plus.", "Les pairs."})
                              + RunnerTestData::block(2, "Trois", four, "3");
    return ClassQuestionnaire::fromLines(ClassSettingsFormat::withSettings(lines, settings));
}

QStringList textsOf(const Report &report, ReportText::Style style)
{
    QStringList texts;
    for (const Report::Part &part : report.parts) {
        if (const auto *text = std::get_if<ReportText>(&part); text && text->style == style)
            texts << text->text;
    }
    return texts;
}

} // namespace

class TestCorrectedCopies : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pupilsOrder();
    void copyHandedBack_data();
    void copyHandedBack();
    void everyAnswerTicked_data();
    void everyAnswerTicked();
};

void TestCorrectedCopies::everyAnswerTicked_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("given");
    QTest::addColumn<QStringList>("feedback"); // in the order the answers were shown
    QTest::newRow("exactly the right ones") << "2+4" << "Réponses cochées : 2) b, 4) d - Juste" << QStringList();
    QTest::newRow("one right of two") << "2" << "Réponse donnée : 2) b - En partie juste" << QStringList();
    QTest::newRow("a right and a wrong one") << "3+2" << "Réponses cochées : 2) b, 3) c - Faux"
                                             << QStringList{"Sur la réponse 3) c : c est impair."};
    QTest::newRow("two wrong ones, each commented")
        << "1+3" << "Réponses cochées : 1) a, 3) c - Faux"
        << QStringList{"Sur la réponse 1) a : a non plus.", "Sur la réponse 3) c : c est impair."};
    QTest::newRow("partly right despite a wrong one") << "1+2+4" << "Réponses cochées : 1) a, 2) b, 4) d - En partie juste"
                                                      << QStringList{"Sur la réponse 1) a : a non plus."};
    QTest::newRow("blank") << "" << "Réponse donnée : aucune - Sans réponse" << QStringList();
}

void TestCorrectedCopies::everyAnswerTicked()
{
    QFETCH(QString, cell);
    QFETCH(QString, given);
    QFETCH(QStringList, feedback);
    const ClassQuestionnaire quiz = severalRight();
    // "Un" was not in this pupil's version: the copy leaves it out and numbers from "Deux".
    const ResultsStatistics statistics = ResultsStatistics::of(
        ResultsTestData::sheetOf({"Un", "Deux", "Trois"}, {ResultsTestData::run("Léa", "", {"-", cell, "3"})}), quiz);
    const Report report = CorrectedCopies::report(statistics, {0}, quiz, QStringLiteral("pairs"));
    QCOMPARE(textsOf(report, ReportText::Subheading), (QStringList{"1. Deux", "2. Trois"}));
    const QStringList plain = textsOf(report, ReportText::Plain);
    QCOMPARE(plain.filter(QRegularExpression("^Réponses? (donnée|cochées) :")),
             (QStringList{given, "Réponse donnée : 3) c - Juste"}));
    QCOMPARE(plain.filter(QStringLiteral("Sur la réponse")), feedback);
    QCOMPARE(textsOf(report, ReportText::Bold).filter(QStringLiteral("Bonne")),
             (QStringList{"Bonnes réponses : 2) b, 4) d", "Bonne réponse : 3) c"}));
}

// One copy per named pupil, the latest finished one, in the order of a French class list.
void TestCorrectedCopies::copyHandedBack_data()
{
    QTest::addColumn<QList<QStringList>>("runs");
    QTest::addColumn<QList<int>>("copies"); // rows of the file handed back
    QTest::newRow("a later unfinished try") << QList<QStringList>{copyOf("Zoé", "10:00:00", {"1", "", "", ""}, 7),
                                                                  copyOf("Zoé", "11:00:00", {"", "", "", ""}, 8, "inachevé")}
                                            << QList<int>{0};
    QTest::newRow("removed, nameless, name order")
        << QList<QStringList>{copyOf("Zoé", "10:00:00", {"1", "", "", ""}, 7), copyOf("", "10:00:00", {"1", "", "", ""}, 9),
                              copyOf("Élodie", "10:00:00", {"1", "", "", ""}, 3),
                              copyOf("Élodie", "11:00:00", {"1", "", "", ""}, 4, "retirée")}
        << QList<int>{2, 0};
}

void TestCorrectedCopies::copyHandedBack()
{
    QFETCH(QList<QStringList>, runs);
    QFETCH(QList<int>, copies);
    const std::vector<size_t> handedBack = CorrectedCopies::toHandBack(statisticsOf(runs));
    QCOMPARE(QList<int>(handedBack.begin(), handedBack.end()), copies);
}

// Each copy on pages of its own, the questions in the pupil's order, the answers numbered as
// the pupil saw them.
void TestCorrectedCopies::pupilsOrder()
{
    const quint64 seeds[] = {0x1234, 0xBEEF};
    // Hugo answers right on 1, wrong on 2, nothing on 3; Léa answers 4 on 4, not marked.
    const ResultsStatistics statistics = statisticsOf({copyOf("NGUYEN Hugo", "10:00:00", {"1", "1", "", ""}, seeds[0]),
                                                       copyOf("MARTIN Léa", "10:00:00", {"", "", "", "4"}, seeds[1])});
    const ClassQuestionnaire quiz = questionnaire();
    const Report report = CorrectedCopies::report(statistics, {0, 1}, quiz, QStringLiteral("capitales"));
    QCOMPARE(textsOf(report, ReportText::Section), (QStringList{"NGUYEN Hugo", "MARTIN Léa"}));
    QCOMPARE(textsOf(report, ReportText::Heading), (QStringList{"NGUYEN Hugo", "MARTIN Léa"}));

    QStringList titles, given, right;
    for (size_t pupil = 0; pupil < 2; ++pupil) {
        const ClassVersion version = ClassVersion::build(quiz, quiz.settings(), seeds[pupil]);
        const auto shown = [&](int question, int answer) {
            return QStringLiteral("%1) q%2-%3").arg(version.shownPlace(question, answer)).arg(question + 1).arg(answer);
        };
        const std::vector<int> &answers = statistics.pupils[pupil].answers;
        for (int position = 0; position < version.size(); ++position) {
            const int q = version.questionAt(position);
            titles << QStringLiteral("%1. Titre %2").arg(position + 1).arg(q + 1);
            const int answer = answers[size_t(q)];
            const QString verdict = q == 3 ? "Non notée" : answer == 0 ? "Sans réponse" : answer == q + 1 ? "Juste" : "Faux";
            given << QStringLiteral("Réponse donnée : %1 - %2").arg(answer ? shown(q, answer) : QStringLiteral("aucune"), verdict);
            if (q != 3)
                right << QStringLiteral("Bonne réponse : %1").arg(shown(q, q + 1));
        }
    }
    QCOMPARE(textsOf(report, ReportText::Subheading), titles);
    const QStringList plain = textsOf(report, ReportText::Plain);
    for (const QString &line : given)
        QVERIFY2(plain.contains(line), qPrintable(line));
    const QStringList bold = textsOf(report, ReportText::Bold);
    QCOMPARE(bold.filter(QStringLiteral("Bonne réponse")), right);
    QCOMPARE(bold.filter(QStringLiteral("Note")), (QStringList{"Note : 10 / 20 (0 bonne réponse sur 4)", "Note : 10 / 20 (0 bonne réponse sur 4)"}));
    QCOMPARE(plain.count(QStringLiteral("Correction : Parce que.")), 2);
    QCOMPARE(plain.count(QStringLiteral("Énoncé de la une")), 2);
    QVERIFY(plain.contains(QStringLiteral("capitales : copie du 09/03/2026 à 10:00 (réseau)")));
    // The kept 10 is not what Hugo's answers are worth today (one right of three marked).
    QVERIFY(plain.contains(QStringLiteral("Avec les bonnes réponses actuelles du questionnaire, ces réponses valent 6,5 / 20.")));
}

QTEST_GUILESS_MAIN(TestCorrectedCopies)
#include "tst_correctedcopies.moc"
