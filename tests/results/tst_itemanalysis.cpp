#include "results/itemanalysis.h"

#include <QtTest>

class TestItemAnalysis : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void marks();
    void questionsByHand();
};

void TestItemAnalysis::marks()
{
    const MarkSummary summary = MarkSummary::of({15, 10, 5, 12.5, 7.5, 20}, 20);
    QCOMPARE(summary.count, 6);
    QCOMPARE(summary.mean, 11.666666666666666);
    QCOMPARE(summary.median, 11.25);
    QCOMPARE(summary.lowest, 5.0);
    QCOMPARE(summary.highest, 20.0);
    QVERIFY(qAbs(summary.standardDeviation - 4.930066485916346) < 1e-9);
    QCOMPARE(summary.distribution.size(), size_t(20));
    QCOMPARE(summary.distribution[12], 1); // 12,5
    QCOMPARE(summary.distribution[19], 1); // the full mark in the last bin
    QCOMPARE(std::accumulate(summary.distribution.begin(), summary.distribution.end(), 0), 6);

    const MarkSummary onHundred = MarkSummary::of({99.5, 0}, 100);
    QCOMPARE(onHundred.binWidth(), 5.0);
    QCOMPARE(onHundred.distribution[19], 1);
    QCOMPARE(onHundred.distribution[0], 1);
    QCOMPARE(MarkSummary::of({}, 20).count, 0);
}

// Six pupils, rows by decreasing score; worked out by hand: question 3 is answered right by the
// three weakest pupils only, question 5 by nobody, and question 6 has no right answer.
void TestItemAnalysis::questionsByHand()
{
    const std::vector<std::vector<char>> right{{1, 1, 0, 1, 0, 1}, {1, 1, 0, 1, 0, 0}, {1, 0, 0, 1, 0, 1},
                                               {0, 1, 1, 0, 0, 0}, {0, 0, 1, 0, 0, 1}, {0, 0, 1, 0, 0, 0}};
    const ItemAnalysis analysis = ItemAnalysis::of(right, {true, true, true, true, true, false});
    QCOMPARE(analysis.items.size(), size_t(6));
    QCOMPARE(analysis.items[0].facility, 0.5);
    QVERIFY(qAbs(*analysis.items[0].discrimination - 1.0 / 3) < 1e-9);
    QVERIFY(!analysis.items[0].toReview);
    QVERIFY(qAbs(*analysis.items[2].discrimination + 0.92717264994553) < 1e-9);
    QVERIFY(analysis.items[2].toReview);
    // Nobody right: no correlation to speak of, and flagged.
    QCOMPARE(analysis.items[4].facility, 0.0);
    QVERIFY(!analysis.items[4].discrimination);
    QVERIFY(analysis.items[4].toReview);
    // Not marked: counted in no score, never flagged.
    QVERIFY(!analysis.items[5].toReview);
    QVERIFY(!analysis.items[5].discrimination);
}

QTEST_GUILESS_MAIN(TestItemAnalysis)
#include "tst_itemanalysis.moc"
