#include "document/qcmblock.h"
#include "document/qcmformat.h"
#include "document/questionorder.h"

#include <QtTest>

namespace {

// One block per title, numbered in order, each with its own free-text marker "id <k>" so that
// questions with equal titles can still be told apart; blocks separated by a single space.
QStringList blocks(const QStringList &titles)
{
    QStringList lines;
    for (int k = 0; k < int(titles.size()); ++k) {
        lines << QcmFormat::openingTag(k) << QStringLiteral("TITLE ") + titles.at(k) << QStringLiteral("PICTURE ");
        for (int a = 1; a <= 5; ++a)
            lines << QStringLiteral("REP%1 ").arg(a);
        lines << QStringLiteral("REPONSE 1") << QStringLiteral("id %1").arg(k) << QcmFormat::closingTag(k)
              << QStringLiteral(" ");
    }
    return lines;
}

// The free-text marker of each block number in turn: which original question it now holds.
QStringList markers(const QStringList &lines, int count)
{
    QStringList ids;
    for (int k = 0; k < count; ++k) {
        const auto block = QcmBlock::read(lines, k);
        ids << (block ? block->fields.freeText.value(0) : QStringLiteral("absent"));
    }
    return ids;
}

bool isTag(const QString &line)
{
    return QcmFormat::openingTagNumber(line) >= 0 || QcmFormat::closingTagNumber(line) >= 0;
}

} // namespace

class TestQuestionOrder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listedTitles_data();
    void listedTitles();
    void apply_data();
    void apply();
    void applyKeepsLowerCaseTagsAndMissingClosingTags();
};

void TestQuestionOrder::listedTitles_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("titles");
    const QString longTitle(300, QLatin1Char('t'));
    QStringList gap = blocks({"a", "b", "c"});
    gap.replace(gap.indexOf(QcmFormat::openingTag(1)), QStringLiteral("<BLOC0007>"));
    QStringList duplicate = blocks({"a"}) + blocks({"copie"});
    QTest::newRow("empty questionnaire") << QStringList() << QStringList();
    QTest::newRow("in block order, not line order") << (blocks({"a", "b"}).mid(12) + blocks({"a"})) << QStringList{"a", "b"};
    QTest::newRow("stops at the first missing number") << gap << QStringList{"a"};
    QTest::newRow("title cut to 255") << blocks({longTitle}) << QStringList{longTitle.left(255)};
    QTest::newRow("lower-case tag found") << QStringList{"<bloc0000>", "TITLE bas", "</bloc0000>"} << QStringList{"bas"};
    QTest::newRow("first block of a number wins") << duplicate << QStringList{"a"};
    QTest::newRow("tag on the last line: empty title") << QStringList{"<BLOC0000>"} << QStringList{""};
}

void TestQuestionOrder::listedTitles()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, titles);
    QCOMPARE(QuestionOrder::listedTitles(lines), titles);
}

void TestQuestionOrder::apply_data()
{
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<std::vector<int>>("order");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QStringList>("expected"); // markers of blocks 0, 1, 2... afterwards
    QTest::newRow("C, A, B") << QStringList{"A", "B", "C"} << std::vector<int>{2, 0, 1} << true
                             << QStringList{"id 2", "id 0", "id 1"};
    QTest::newRow("unchanged order changes nothing") << QStringList{"A", "B", "C"} << std::vector<int>{0, 1, 2} << false
                                                     << QStringList{"id 0", "id 1", "id 2"};
    QTest::newRow("equal empty titles kept apart") << QStringList{"", "", ""} << std::vector<int>{1, 2, 0} << true
                                                   << QStringList{"id 1", "id 2", "id 0"};
    QTest::newRow("titles equal but for case") << QStringList{"Ciel", "CIEL", "ciel"} << std::vector<int>{2, 1, 0} << true
                                               << QStringList{"id 2", "id 1", "id 0"};
    QTest::newRow("not an order: nothing touched") << QStringList{"A", "B"} << std::vector<int>{1, 1} << false
                                                   << QStringList{"id 0", "id 1"};
}

void TestQuestionOrder::apply()
{
    QFETCH(QStringList, titles);
    QFETCH(std::vector<int>, order);
    QFETCH(bool, changed);
    QFETCH(QStringList, expected);
    QStringList lines = blocks(titles);
    // A free-text line that reads like a title line must not be taken for a question.
    lines.insert(10, QStringLiteral("TITLE ") + titles.first());
    const QStringList before = lines;

    QCOMPARE(QuestionOrder::apply(lines, order), changed);
    QCOMPARE(markers(lines, int(titles.size())), expected);
    // The lines stay in place; only tag lines differ.
    QCOMPARE(lines.size(), before.size());
    for (int i = 0; i < int(lines.size()); ++i) {
        if (!isTag(before.at(i)))
            QCOMPARE(lines.at(i), before.at(i));
    }
    QCOMPARE(QcmFormat::tagBalance(lines), 0);
}

void TestQuestionOrder::applyKeepsLowerCaseTagsAndMissingClosingTags()
{
    QStringList lines{"<bloc0000>", "TITLE a", "</bloc0000>", "<BLOC0001>", "TITLE b", "<BLOC0002>", "TITLE c",
                      "</BLOC0002>"};
    QVERIFY(QuestionOrder::apply(lines, {1, 2, 0}));
    QCOMPARE(lines, (QStringList{"<bloc0002>", "TITLE a", "</bloc0002>", "<BLOC0000>", "TITLE b", "<BLOC0001>",
                                 "TITLE c", "</BLOC0001>"}));
    QCOMPARE(QuestionOrder::listedTitles(lines), (QStringList{"b", "c", "a"}));
}

QTEST_GUILESS_MAIN(TestQuestionOrder)
#include "tst_questionorder.moc"
