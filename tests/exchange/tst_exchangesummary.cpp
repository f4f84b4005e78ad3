#include "document/exchange/questionexchange.h"

#include <QtTest>

// The summary of an import or an export: a short line, and details that stay readable however
// many questions were left out.
class TestExchangeSummary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void details_data();
    void details();
};

void TestExchangeSummary::details_data()
{
    QTest::addColumn<int>("skipped");
    QTest::addColumn<int>("notes");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("last");
    QTest::newRow("nothing to say") << 0 << 0 << 0 << "";
    QTest::newRow("skipped, then notes") << 2 << 1 << 3 << "remarque 1";
    QTest::newRow("exactly the limit") << 999 << 1 << 1000 << "remarque 1";
    QTest::newRow("one past the limit") << 1000 << 1 << 1001 << "… et 1 autre";
    QTest::newRow("100,000 skipped") << 100000 << 5 << 1001 << "… et 99005 autres";
}

void TestExchangeSummary::details()
{
    QFETCH(int, skipped);
    QFETCH(int, notes);
    QFETCH(int, lines);
    QFETCH(QString, last);
    QuestionExchange::Report report;
    report.done = 3;
    for (int i = 1; i <= skipped; ++i)
        report.skipped.append(SkippedQuestion{i, i % 2 ? QStringLiteral("Vrai ?") : QString(), QStringLiteral("question vrai/faux")});
    for (int i = 1; i <= notes; ++i)
        report.notes.append(QStringLiteral("remarque %1").arg(i));

    const QuestionExchange::Summary summary = QuestionExchange::importSummary(report);
    QCOMPARE(summary.text, QStringLiteral("3 questions importées ; %1 ignorées").arg(skipped));
    const QStringList shown = summary.details.isEmpty() ? QStringList() : summary.details.split(QLatin1Char('\n'));
    QCOMPARE(shown.size(), lines);
    QCOMPARE(shown.value(lines - 1), last);
    if (skipped > 0) {
        QCOMPARE(shown.first(), QStringLiteral("Question 1 (« Vrai ? ») : question vrai/faux"));
        QCOMPARE(shown.value(1, QStringLiteral("Question 2 : question vrai/faux")), QStringLiteral("Question 2 : question vrai/faux"));
    }
    QCOMPARE(QuestionExchange::exportSummary(report).text, QStringLiteral("3 questions exportées ; %1 ignorées").arg(skipped));
}

QTEST_GUILESS_MAIN(TestExchangeSummary)
#include "tst_exchangesummary.moc"
