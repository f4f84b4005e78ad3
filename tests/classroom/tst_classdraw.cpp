#include "classroom/classdraw.h"
#include "classroom/classrun.h"
#include "classroom/classversion.h"
#include "document/qcmformat.h"
#include "results/resultsrunkeeper.h"

#include <QtTest>

#include <set>

namespace {

// A questionnaire of the titles given, each question with four answers, the first right.
QStringList linesOf(const QStringList &titles, const ClassSettings &settings)
{
    QStringList lines;
    for (int n = 0; n < titles.size(); ++n) {
        lines << QcmFormat::openingTag(n) << QStringLiteral("TITLE ") + titles.at(n) << QStringLiteral("PICTURE ");
        for (int k = 1; k <= QcmFormat::AnswerCount; ++k)
            lines << QcmFormat::answerKeyword(k) + (k <= 4 ? QStringLiteral("r%1").arg(k) : QString());
        lines << QStringLiteral("REPONSE 1") << QcmFormat::closingTag(n);
    }
    return ClassSettingsFormat::withSettings(lines, settings);
}

QStringList plainTitles(int count)
{
    QStringList titles;
    for (int n = 0; n < count; ++n)
        titles << QStringLiteral("Question %1").arg(n + 1);
    return titles;
}

std::shared_ptr<const ClassQuestionnaire> questionnaireOf(const QStringList &titles, const ClassSettings &settings)
{
    return std::make_shared<const ClassQuestionnaire>(ClassQuestionnaire::fromLines(linesOf(titles, settings)));
}

ClassSettings drawing(ClassSettings::Draw draw, int count = 0, bool shuffle = false)
{
    ClassSettings settings;
    settings.draw = draw;
    settings.drawCount = count;
    settings.shuffleQuestions = settings.shuffleAnswers = shuffle;
    return settings;
}

// The questions a version holds, in the order shown.
std::vector<int> orderOf(const ClassVersion &version)
{
    std::vector<int> order;
    for (int position = 0; position < version.size(); ++position)
        order.push_back(version.questionAt(position));
    return order;
}

// Three groups (one of them spelt two ways) and four questions outside any, two of them with
// brackets that name no group.
const QStringList GroupedTitles{
    QStringLiteral("[Fractions] Combien font 1/2 + 1/4 ?"), QStringLiteral("Question hors groupe"),
    QStringLiteral("[Fractions] Combien font 1/3 + 1/3 ?"), QStringLiteral("[Aires] Aire d'un carré de côté 3 ?"),
    QStringLiteral("[ fractions ] Combien font 3/4 - 1/4 ?"), QStringLiteral("[Aires] Aire d'un disque ?"),
    QStringLiteral("Une autre question hors groupe"), QStringLiteral("[Volumes] Volume d'un cube ?"),
    QStringLiteral("Combien font [1/2] + 1/4 ?"), QStringLiteral("[ ] Crochets vides")};

} // namespace

Q_DECLARE_METATYPE(ClassSettings)

class TestClassDraw : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void drawReproducedFromItsSeed_data();
    void drawReproducedFromItsSeed();
    void oneQuestionOfEachGroup();
    void seedWithoutADrawGivesTheOldVersion_data();
    void seedWithoutADrawGivesTheOldVersion();
    void markedOutOfTheDrawnQuestions();
};

void TestClassDraw::drawReproducedFromItsSeed_data()
{
    QTest::addColumn<ClassSettings>("settings");
    QTest::addColumn<int>("held");
    QTest::newRow("5 among 20, in order") << drawing(ClassSettings::Draw::AmongAll, 5) << 5;
    QTest::newRow("5 among 20, shuffled") << drawing(ClassSettings::Draw::AmongAll, 5, true) << 5;
    QTest::newRow("1 among 20") << drawing(ClassSettings::Draw::AmongAll, 1, true) << 1;
    QTest::newRow("20 among 20") << drawing(ClassSettings::Draw::AmongAll, 20, true) << 20;
    // A file edited by hand may ask for more than there are: every question, nothing beyond.
    QTest::newRow("30 among 20") << drawing(ClassSettings::Draw::AmongAll, 30) << 20;
}

void TestClassDraw::drawReproducedFromItsSeed()
{
    QFETCH(ClassSettings, settings);
    QFETCH(int, held);
    const auto questionnaire = questionnaireOf(plainTitles(20), settings);
    QCOMPARE(ClassDraw::heldCount(*questionnaire, settings), held);
    std::set<std::vector<int>> versions;
    for (quint64 seed = 1; seed <= 40; ++seed) {
        const ClassVersion version = ClassVersion::build(*questionnaire, settings, seed * 0x9E3779B97F4A7C15ull);
        QCOMPARE(version.size(), held);
        const std::vector<int> order = orderOf(version);
        QCOMPARE(orderOf(ClassVersion::build(*questionnaire, settings, version.seed())), order);
        QCOMPARE(std::set<int>(order.begin(), order.end()).size(), size_t(held));
        if (!settings.shuffleQuestions)
            QVERIFY(std::is_sorted(order.begin(), order.end()));
        for (int n = 0; n < questionnaire->size(); ++n) {
            const bool in = std::find(order.begin(), order.end(), n) != order.end();
            QCOMPARE(version.holds(n), in);
            QCOMPARE(version.shownAnswers(n).empty(), !in);
            QCOMPARE(version.positionOf(n) >= 0, in);
        }
        versions.insert(order);
    }
    // Neighbours' copies differ, unless every question is asked in one order.
    QCOMPARE(versions.size() > 1, held < questionnaire->size() || settings.shuffleQuestions);
}

void TestClassDraw::oneQuestionOfEachGroup()
{
    const ClassSettings settings = drawing(ClassSettings::Draw::OnePerGroup, 0, true);
    const auto questionnaire = questionnaireOf(GroupedTitles, settings);
    const ClassDraw::Groups groups = ClassDraw::groupsOf(*questionnaire);
    QCOMPARE(groups.groups.size(), size_t(3));
    QCOMPARE(groups.groups[0].name, QStringLiteral("Fractions"));
    QCOMPARE(groups.groups[0].questions, (std::vector<int>{0, 2, 4}));
    QCOMPARE(groups.groups[1].questions, (std::vector<int>{3, 5}));
    QCOMPARE(groups.groups[2].questions, (std::vector<int>{7}));
    QCOMPARE(groups.ungrouped, (std::vector<int>{1, 6, 8, 9}));
    QCOMPARE(ClassDraw::heldCount(*questionnaire, settings), 7);
    QCOMPARE(ClassDraw::describe(*questionnaire, settings),
             QStringLiteral("1 question de chaque groupe (3 groupes) et 4 hors groupe"));
    for (quint64 seed = 1; seed <= 30; ++seed) {
        const ClassVersion version = ClassVersion::build(*questionnaire, settings, seed * 7919);
        QCOMPARE(version.size(), 7);
        QVERIFY(version.holds(1) && version.holds(6) && version.holds(7) && version.holds(8) && version.holds(9));
        QCOMPARE(int(version.holds(0)) + int(version.holds(2)) + int(version.holds(4)), 1);
        QCOMPARE(int(version.holds(3)) + int(version.holds(5)), 1);
    }
}

void TestClassDraw::seedWithoutADrawGivesTheOldVersion_data()
{
    QTest::addColumn<bool>("shuffle");
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<QList<int>>("order");
    QTest::addColumn<QList<int>>("answersOfTheFirst");
    // Versions kept in results files before questions could be drawn: the same seed must give
    // the same questions and answers for ever.
    QTest::newRow("in order") << false << quint64(0x1234) << QList<int>{0, 1, 2, 3, 4, 5} << QList<int>{1, 2, 3, 4};
    QTest::newRow("shuffled, seed 0x1234") << true << quint64(0x1234) << QList<int>{1, 3, 4, 2, 0, 5}
                                           << QList<int>{3, 2, 1, 4};
    QTest::newRow("shuffled, seed 0xABCDEF") << true << quint64(0xABCDEF) << QList<int>{4, 2, 5, 0, 3, 1}
                                             << QList<int>{2, 3, 1, 4};
}

void TestClassDraw::seedWithoutADrawGivesTheOldVersion()
{
    QFETCH(bool, shuffle);
    QFETCH(quint64, seed);
    const ClassSettings settings = drawing(ClassSettings::Draw::None, 0, shuffle);
    const auto questionnaire = questionnaireOf(GroupedTitles.mid(0, 6), settings);
    const ClassVersion version = ClassVersion::build(*questionnaire, settings, seed);
    const std::vector<int> order = orderOf(version);
    const std::vector<int> &answers = version.shownAnswers(0);
    QTEST(QList<int>(order.begin(), order.end()), "order");
    QTEST(QList<int>(answers.begin(), answers.end()), "answersOfTheFirst");
    QVERIFY(version.held().empty());
}

void TestClassDraw::markedOutOfTheDrawnQuestions()
{
    const ClassSettings settings = drawing(ClassSettings::Draw::AmongAll, 4, true);
    const auto questionnaire = questionnaireOf(plainTitles(10), settings);
    ClassRun run(questionnaire, settings, 0xC0FFEE);
    QCOMPARE(run.size(), 4);
    int notHeld = 0;
    while (run.version().holds(notHeld))
        ++notHeld;
    // A question the pupil was not given takes no answer, whoever sends one.
    QVERIFY(!run.setAnswer(notHeld, 1));
    QVERIFY(!run.setAnswers(notHeld, AnswerSets::of(2)));
    // Three of the four right, the last blank.
    for (int position = 0; position < 3; ++position)
        QVERIFY(run.setAnswer(run.version().questionAt(position), 1));
    const ClassScore score = run.score();
    QCOMPARE(score.markedCount, 4);
    QCOMPARE(score.askedCount(), 4);
    QCOMPARE(score.rightCount, 3);
    QCOMPARE(score.unansweredCount, 1);
    QCOMPARE(score.mark, 15.0);
    QCOMPARE(score.outcomes[size_t(notHeld)], ClassScore::Outcome::NotMarked);
    QCOMPARE(run.unansweredPositions(), std::vector<int>{3});

    // The results rows say which questions the version did not hold.
    ClassRunRecord record;
    record.seed = 0xC0FFEE;
    record.answers = run.answers();
    record.score = run.score();
    const KeptRun kept = ResultsRunKeeper::keptRun(*questionnaire, record);
    QCOMPARE(kept.results.rows.size(), size_t(10));
    for (int n = 0; n < 10; ++n)
        QCOMPARE(kept.results.rows[size_t(n)].drawn, run.version().holds(n));
    // Without a draw every row was asked.
    const ClassSettings none;
    ClassRun whole(questionnaireOf(GroupedTitles, none), none, 42);
    record.score = whole.score();
    for (const RunResultRow &row : ResultsRunKeeper::keptRun(whole.questionnaire(), record).results.rows)
        QVERIFY(row.drawn);
}


QTEST_GUILESS_MAIN(TestClassDraw)
#include "tst_classdraw.moc"
