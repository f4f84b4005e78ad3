#include "classroom/classquestionnaire.h"
#include "classroom/classscore.h"
#include "results/resultsfile.h"
#include "results/resultsstatistics.h"
#include "results/statisticsreport.h"
#include "resultstestdata.h"
#include "runner/runnertestdata.h"

#include <QtTest>

namespace {

const QStringList Answers{"a", "b", "c", "d", "e"};

// Questions "Un", "Deux", "Trois" whose right answers are 2, 4 and 1 (or none), under `settings`.
ClassQuestionnaire questionnaire(const ClassSettings &settings = {}, bool marked = true)
{
    const QStringList lines = RunnerTestData::block(0, "Un", Answers, marked ? "2" : "")
                              + RunnerTestData::block(1, "Deux", Answers, marked ? "4" : "")
                              + RunnerTestData::block(2, "Trois", Answers, marked ? "1" : "");
    return ClassQuestionnaire::fromLines(ClassSettingsFormat::withSettings(lines, settings));
}

ResultsSheet sheetOf(const QList<QStringList> &rows, bool olderColumns = false)
{
    return ResultsTestData::sheetOf({"Un", "Deux", "Trois"}, rows, olderColumns);
}

using ResultsTestData::run;

// Four answers a question: 1 is right on "Un", 2 and 4 on "Deux" (a feedback on 3), 3 on
// "Trois"; several right answers marked with partial credit.
ClassQuestionnaire severalRight()
{
    const QStringList four{"a", "b", "c", "d"};
    ClassSettings settings;
    settings.severalMarking = ClassSettings::SeveralMarking::Partial;
    const QStringList lines = RunnerTestData::block(0, "Un", four, "1")
                              + RunnerTestData::block(1, "Deux", four, "2",
                                                      {"Correction :", "Bonnes réponses : 2, 4",
                                                       "Commentaire de la réponse 3 : non."})
                              + RunnerTestData::block(2, "Trois", four, "3");
    return ClassQuestionnaire::fromLines(ClassSettingsFormat::withSettings(lines, settings));
}

// Five pupils worked out by hand. "Deux" earns 1/2 for each right answer ticked, less 1/2 for
// each wrong one; Eva's version did not hold "Un".
//          Un   Deux     Trois   points
//   Ana    1    2+4      3       1, 1, 1
//   Ben    1    2        3       1, 1/2, 1
//   Cam    2    2+3      3       0, 0, 1
//   Dan    1    1+2+4    -       1, 1/2, 0
//   Eva    -    -        3       (not held), 0, 1
ResultsStatistics severalRightClass()
{
    return ResultsStatistics::of(sheetOf({run("Ana", "", {"1", "2+4", "3"}), run("Ben", "", {"1", "2", "3"}),
                                          run("Cam", "", {"2", "2+3", "3"}), run("Dan", "", {"1", "1+2+4", ""}),
                                          run("Eva", "", {"-", "", "3"})}),
                                 severalRight());
}

} // namespace

Q_DECLARE_METATYPE(ResultsStatistics::Counting)

class TestResultsStatistics : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void classOfAKnownFile();
    void markOfARun_data();
    void markOfARun();
    void summaryTexts_data();
    void summaryTexts();
    void copiesCounted_data();
    void copiesCounted();
    void severalRightByHand_data();
    void severalRightByHand();
    void markOutOfTheQuestionsHeld_data();
    void markOutOfTheQuestionsHeld();
};

// The rest score is the share of the points of the other questions the version held (Ana 1, Ben
// 3/4, Cam 1/2, Dan 1/4 beside "Un"); the correlations are Pearson's on the points, worked out
// from those columns.
void TestResultsStatistics::severalRightByHand_data()
{
    QTest::addColumn<int>("question");
    QTest::addColumn<int>("taken");
    QTest::addColumn<int>("answered");
    QTest::addColumn<int>("right");
    QTest::addColumn<QStringList>("ticked"); // as the tables show it
    QTest::addColumn<double>("facility");
    QTest::addColumn<double>("discrimination");
    QTest::newRow("one answer, not in a version") << 0 << 4 << 4 << 3 << QStringList{"75 %", "25 %", "0 %", "0 %", ""}
                                                   << 0.75 << 0.125 / std::sqrt(0.75 * 0.3125);
    // Shares over 100 % together; the blank counts in the shares' whole, as not right.
    QTest::newRow("several right, partial credit") << 1 << 5 << 4 << 1 << QStringList{"20 %", "80 %", "20 %", "40 %", ""}
                                                    << 0.4 << 0.15 / std::sqrt(0.7 * 0.3);
    QTest::newRow("one answer, best right in the rest") << 2 << 5 << 4 << 4 << QStringList{"0 %", "0 %", "80 %", "0 %", ""}
                                                         << 0.8 << -0.25 / std::sqrt(0.8 * 0.875);
}

void TestResultsStatistics::severalRightByHand()
{
    QFETCH(int, question);
    QFETCH(int, taken);
    QFETCH(int, answered);
    QFETCH(int, right);
    QFETCH(QStringList, ticked);
    QFETCH(double, facility);
    QFETCH(double, discrimination);
    const ResultsStatistics statistics = severalRightClass();
    const size_t q = size_t(question);
    const ResultsStatistics::Question &counted = statistics.questions.at(q);
    QCOMPARE(counted.taken, taken);
    QCOMPARE(counted.answered, answered);
    QCOMPARE(counted.right, right);
    QCOMPARE(statistics.shareRight(q), double(right) / taken);
    QStringList shares;
    for (int a = 1; a <= 5; ++a)
        shares << StatisticsReport::tickedShare(statistics, q, a);
    QCOMPARE(shares, ticked);
    QVERIFY2(qAbs(counted.analysis.facility - facility) < 1e-9, qPrintable(QString::number(counted.analysis.facility)));
    QVERIFY(counted.analysis.discrimination);
    QVERIFY2(qAbs(*counted.analysis.discrimination - discrimination) < 1e-9,
             qPrintable(QString::number(*counted.analysis.discrimination)));
    QCOMPARE(counted.analysis.toReview, discrimination < 0);
}

// A question the version did not hold is neither blank nor wrong: the mark is out of the others.
void TestResultsStatistics::markOutOfTheQuestionsHeld_data()
{
    QTest::addColumn<int>("pupil");
    QTest::addColumn<QString>("mark");
    QTest::newRow("every question held") << 1 << "16,5"; // 2,5 points of 3
    QTest::newRow("a blank counts") << 3 << "10";         // 1,5 of 3
    QTest::newRow("one question not held") << 4 << "10";  // 1 of 2, not 1 of 3
}

void TestResultsStatistics::markOutOfTheQuestionsHeld()
{
    QFETCH(int, pupil);
    QFETCH(QString, mark);
    const ResultsStatistics statistics = severalRightClass();
    const ResultsStatistics::Pupil &copy = statistics.pupils.at(size_t(pupil));
    QVERIFY(!copy.markKept);
    QCOMPARE(ClassMarking::numberText(*copy.currentMark), mark);
}

// Five finished runs worked out by hand, and one unfinished that would change every figure if
// it were counted. Right answers 2, 4, 1; the totals are 2, 2, 2, 1 and 0.
void TestResultsStatistics::classOfAKnownFile()
{
    const ResultsStatistics statistics = ResultsStatistics::of(
        sheetOf({run("Léa", "13,5", {"2", "4", "3"}), run("Noé", "13,5", {"2", "4", "5"}), run("Zoé", "13,5", {"2", "1", "1"}),
                 run("Lou", "6,5", {"3", "", "1"}), run("Téo", "0", {"1", "3", "2"}),
                 run("Max", "20", {"2", "4", "1"}, QStringLiteral("inachevé"))}),
        questionnaire());

    QCOMPARE(statistics.countedRuns(), 5);
    QCOMPARE(statistics.unfinishedRuns(), 1);
    QVERIFY(!statistics.pupils[5].finished);
    QCOMPARE(statistics.pupils[0].way, KeptRun::Way::Computer);

    const MarkSummary &marks = statistics.marks;
    QCOMPARE(marks.count, 5);
    QCOMPARE(marks.mean, 9.4);
    QCOMPARE(marks.median, 13.5);
    QCOMPARE(marks.lowest, 0.0);
    QCOMPARE(marks.highest, 13.5);
    QVERIFY(qAbs(marks.standardDeviation - std::sqrt(29.44)) < 1e-9);
    QCOMPARE(marks.distribution[13], 3);
    QCOMPARE(marks.distribution[6], 1);
    QCOMPARE(marks.distribution[0], 1);
    QCOMPARE(StatisticsReport::marksSummary(statistics),
             QStringLiteral("Notes de 5 passations : moyenne 9,4 / 20, médiane 13,5 / 20, la plus basse 0 / 20, "
                            "la plus haute 13,5 / 20, écart type 5,43"));

    // Question 1, right for the three best: r = (1 - 0,5) / 0,4 x sqrt(0,6 x 0,4).
    // Question 2, right for the two best: their rest scores average the others'.
    // Question 3, right for a middling pupil and a weak one: negative, to review.
    const double facility[] = {0.6, 0.4, 0.4};
    const double discrimination[] = {0.5 / 0.4 * std::sqrt(0.24), 0.0, (0.5 - 4.0 / 3) / std::sqrt(0.8) * std::sqrt(0.24)};
    const bool toReview[] = {false, false, true};
    const int answered[] = {5, 4, 5};
    for (size_t q = 0; q < 3; ++q) {
        const ResultsStatistics::Question &question = statistics.questions[q];
        QCOMPARE(question.analysis.facility, facility[q]);
        QCOMPARE(statistics.shareRight(q), facility[q]);
        QVERIFY2(qAbs(*question.analysis.discrimination - discrimination[q]) < 1e-9, qPrintable(QString::number(q)));
        QCOMPARE(question.analysis.toReview, toReview[q]);
        QCOMPARE(question.answered, answered[q]);
    }
    QCOMPARE(StatisticsReport::discrimination(statistics.questions[0].analysis.discrimination), QStringLiteral("0,61"));
    QCOMPARE(StatisticsReport::discrimination(statistics.questions[2].analysis.discrimination), QStringLiteral("-0,46"));
    QVERIFY(StatisticsReport::reviewReason(statistics.questions[2]).startsWith(QStringLiteral("Discrimination négative")));
    QCOMPARE(statistics.questions[2].chosen, (std::array<int, 5>{2, 1, 1, 0, 1}));
    QCOMPARE(statistics.changedMarks(), 0);
}

void TestResultsStatistics::markOfARun_data()
{
    QTest::addColumn<QStringList>("row");
    QTest::addColumn<bool>("olderColumns");
    QTest::addColumn<ClassSettings>("settings");
    QTest::addColumn<QString>("shown");          // as the pupils' table shows it
    QTest::addColumn<bool>("kept");
    QTest::addColumn<QString>("onToday");        // on today's scale: what the summary counts
    QTest::addColumn<bool>("changed");

    ClassSettings onTen;
    onTen.markScale = 10;
    ClassSettings penalty;
    penalty.penalty = ClassSettings::Penalty::Chance;
    ClassSettings quarters;
    quarters.roundingHundredths = 25;
    const QStringList older{"09/03/2026", "10:00:00", "Léa", "2", "3", "2", "4", "5"};

    QTest::newRow("kept mark") << run("Léa", "13,5", {"2", "4", "5"}) << false << ClassSettings() << "13,5 / 20" << true
                               << "13,5" << false;
    // The key changed since (the third answer was right then): the kept mark stands, and is
    // said to differ from what the answers are worth now.
    QTest::newRow("kept mark of an older key") << run("Léa", "20", {"2", "4", "5"}) << false << ClassSettings() << "20 / 20"
                                               << true << "20" << true;
    QTest::newRow("older file: worked out") << older << true << ClassSettings() << "13,5 / 20" << false << "13,5" << false;
    QTest::newRow("older file, today's scale") << older << true << onTen << "6,5 / 10" << false << "6,5" << false;
    // Two right, one wrong among five answers: 2 - 1/4 = 1,75 points of 3.
    QTest::newRow("older file, today's penalty") << older << true << penalty << "11,5 / 20" << false << "11,5" << false;
    QTest::newRow("kept on another scale") << run("Léa", "8,75", {"2", "4", ""}, "terminé", "10") << false << quarters
                                           << "8,75 / 10" << true << "17,5" << true;
    QTest::newRow("damaged mark cell: worked out") << run("Léa", "abc", {"2", "", ""}) << false << ClassSettings()
                                                   << "6,5 / 20" << false << "6,5" << false;
    QTest::newRow("a point for a comma") << run("Léa", "13.5", {"2", "4", ""}) << false << ClassSettings() << "13,5 / 20"
                                         << true << "13,5" << false;
}

void TestResultsStatistics::markOfARun()
{
    QFETCH(QStringList, row);
    QFETCH(bool, olderColumns);
    QFETCH(ClassSettings, settings);
    QFETCH(QString, shown);
    QFETCH(bool, kept);
    QFETCH(QString, onToday);
    QFETCH(bool, changed);
    const ResultsStatistics statistics = ResultsStatistics::of(sheetOf({row}, olderColumns), questionnaire(settings));
    QCOMPARE(int(statistics.pupils.size()), 1);
    const ResultsStatistics::Pupil &pupil = statistics.pupils.front();
    QCOMPARE(StatisticsReport::markText(pupil.mark, pupil.scale), shown);
    QCOMPARE(pupil.markKept, kept);
    QCOMPARE(ClassMarking::numberText(*statistics.markOnScale(pupil)), onToday);
    QCOMPARE(ClassMarking::numberText(statistics.marks.mean), onToday);
    QCOMPARE(statistics.changedMarks(), changed ? 1 : 0);
    QCOMPARE(StatisticsReport::changedMarksNotice(statistics).isEmpty(), !changed);
}

void TestResultsStatistics::summaryTexts_data()
{
    QTest::addColumn<bool>("marked");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QString>("marks");

    QTest::newRow("every run unfinished")
        << true << QList<QStringList>{run("Léa", "13,5", {"2", "4", "5"}, "inachevé")}
        << "quiz-resultats.csv : 1 passation, dont 1 inachevée, laissée hors des chiffres de la classe"
        << "Pas de note : aucune passation terminée.";
    QTest::newRow("no question marked") << false << QList<QStringList>{run("Léa", "", {"2", "4", "5"})}
                                        << "quiz-resultats.csv : 1 passation"
                                        << "Pas de note : aucune question du questionnaire n'a de bonne réponse.";
}

void TestResultsStatistics::summaryTexts()
{
    QFETCH(bool, marked);
    QFETCH(QList<QStringList>, rows);
    QFETCH(QString, summary);
    QFETCH(QString, marks);
    const ResultsStatistics statistics = ResultsStatistics::of(sheetOf(rows), questionnaire(ClassSettings(), marked));
    QCOMPARE(StatisticsReport::summary(QStringLiteral("/tmp/quiz-resultats.csv"), statistics), summary);
    QCOMPARE(StatisticsReport::marksSummary(statistics), marks);
}

// One copy per pupil by default: Léa's latest finished copy, however many she took; a copy
// without a name is a pupil of its own; a removed or unfinished copy never counts.
void TestResultsStatistics::copiesCounted_data()
{
    QTest::addColumn<ResultsStatistics::Counting>("counting");
    QTest::addColumn<int>("counted");
    QTest::addColumn<int>("rightFirst"); // counted copies right on question 1
    QTest::addColumn<double>("mean");
    QTest::addColumn<QString>("countingText");
    QTest::newRow("one copy per pupil") << ResultsStatistics::Counting::OneCopyPerPupil << 4 << 2 << 3.25
                                        << "Chiffres de la classe : une copie par élève, sa dernière copie terminée (4 copies).";
    QTest::newRow("every copy") << ResultsStatistics::Counting::EveryCopy << 5 << 3 << 6.6
                                << "Chiffres de la classe : toutes les copies terminées (5 copies).";
}

void TestResultsStatistics::copiesCounted()
{
    QFETCH(ResultsStatistics::Counting, counting);
    QFETCH(int, counted);
    QFETCH(int, rightFirst);
    QFETCH(double, mean);
    QFETCH(QString, countingText);
    const QList<QStringList> rows{
        run("Léa", "20", {"2", "4", "1"}, "terminé", "20", "09/03/2026", "10:00:00"),
        run("léa ", "0", {"1", "1", "2"}, "terminé", "20", "09/03/2026", "11:00:00"),
        run("Léa", "20", {"2", "4", "1"}, "inachevé", "20", "09/03/2026", "12:00:00"),
        run("Léa", "20", {"2", "4", "1"}, "retirée", "20", "09/03/2026", "13:00:00"),
        run("", "6,5", {"2", "", ""}, "terminé", "20", "09/03/2026", "09:00:00"),
        run("", "0", {"", "", ""}, "terminé", "20", "09/03/2026", "09:30:00"),
        run("Noé", "6,5", {"2", "", ""}, "terminé", "20", "08/03/2026", "18:00:00"),
    };
    const ResultsStatistics::Counting other = counting == ResultsStatistics::Counting::EveryCopy
                                                  ? ResultsStatistics::Counting::OneCopyPerPupil
                                                  : ResultsStatistics::Counting::EveryCopy;
    // Counted so at once, or counted the other way first, as the window switches.
    const ResultsStatistics direct = ResultsStatistics::of(sheetOf(rows), questionnaire(), counting);
    const ResultsStatistics switched = ResultsStatistics::of(sheetOf(rows), questionnaire(), other).countedAs(counting);
    for (const ResultsStatistics *statistics : {&direct, &switched}) {
        QCOMPARE(statistics->countedRuns(), counted);
        QCOMPARE(statistics->questions[0].right, rightFirst);
        QCOMPARE(statistics->marks.count, counted);
        QCOMPARE(statistics->marks.mean, mean);
        QCOMPARE(statistics->unfinishedRuns(), 1);
        QCOMPARE(statistics->removedRuns(), 1);
        QVERIFY(!statistics->pupils[3].counted);
        QCOMPARE(statistics->pupils[0].counted, counting == ResultsStatistics::Counting::EveryCopy);
        QCOMPARE(StatisticsReport::countingText(*statistics), countingText);
    }
    QCOMPARE(StatisticsReport::stateText(direct.pupils[3]), QStringLiteral("retirée"));
}

QTEST_GUILESS_MAIN(TestResultsStatistics)
#include "tst_resultsstatistics.moc"
