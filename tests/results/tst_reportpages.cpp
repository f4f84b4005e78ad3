#include "results/reportpages.h"

#include <QtTest>

#include <map>

namespace {

// A4's printable area in points with 15 mm margins.
const QSizeF A4Area(595.3 - 2 * 42.5, 841.9 - 2 * 42.5);
constexpr qreal FooterRoom = 18;

// A heading, a line, then a results table of `rows` rows; every seventh title long enough to
// wrap in its column.
Report resultsLike(int rows)
{
    Report report;
    report.add(ReportText::Heading, QStringLiteral("Résultats : capitales"));
    report.add(ReportText::Plain, QStringLiteral("Élève : Léa"));
    ReportTable table;
    table.columns = {{"N°", 8, true}, {"Question", 62}, {"Réponse", 12, true}, {"Solution", 12, true}, {QString(), 6}};
    for (int r = 0; r < rows; ++r) {
        const QString title = r % 7 == 3 ? QStringLiteral("Une question dont le titre est bien trop long pour tenir sur "
                                                          "une seule ligne de la colonne des questions, numéro %1")
                                               .arg(r + 1)
                                         : QStringLiteral("Question %1").arg(r + 1);
        table.rows.push_back({{QString::number(r + 1), title, "2", "3", r % 2 ? "*" : ""}});
    }
    report.add(std::move(table));
    return report;
}

} // namespace

class TestReportPages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tablesOverPages_data();
    void tablesOverPages();
    void rowTallerThanAPage();
    void progressCanStop();
    void sectionsNumberedApart();
};

void TestReportPages::tablesOverPages_data()
{
    QTest::addColumn<int>("rows");
    QTest::newRow("header alone") << 0;
    QTest::newRow("one row") << 1;
    QTest::newRow("two pages") << 60;
    QTest::newRow("a thousand rows") << 1000;
}

void TestReportPages::tablesOverPages()
{
    QFETCH(int, rows);
    const ReportPages pages = ReportPages::layOut(resultsLike(rows), A4Area);
    QVERIFY(pages.pageCount() >= 1);
    QStringList numbers;
    for (int p = 0; p < pages.pageCount(); ++p) {
        const std::vector<ReportItem> &items = pages.pages[size_t(p)];
        QCOMPARE(items.back().style, ReportItem::Footer);
        QCOMPARE(items.back().text, QStringLiteral("Page %1 / %2").arg(p + 1).arg(pages.pageCount()));
        // Cells by row top: a row never split, every page of the table under its header row.
        std::map<qreal, QStringList> rowsByTop;
        std::map<qreal, qreal> heights;
        for (const ReportItem &item : items) {
            if (item.style == ReportItem::Footer)
                continue;
            QVERIFY2(item.rect.bottom() <= A4Area.height() - FooterRoom + 0.01, qPrintable(item.text));
            QVERIFY(item.rect.left() >= 0 && item.rect.right() <= A4Area.width() + 0.01);
            if (!item.cell)
                continue;
            rowsByTop[item.rect.top()] << item.text;
            const auto height = heights.emplace(item.rect.top(), item.rect.height());
            QCOMPARE(height.first->second, item.rect.height());
        }
        if (rowsByTop.empty())
            continue;
        QCOMPARE(rowsByTop.begin()->second, (QStringList{"N°", "Question", "Réponse", "Solution", ""}));
        for (auto row = std::next(rowsByTop.begin()); row != rowsByTop.end(); ++row) {
            QCOMPARE(row->second.size(), 5);
            numbers << row->second.front();
        }
    }
    QCOMPARE(numbers.size(), rows);
    for (int r = 0; r < rows; ++r)
        QCOMPARE(numbers.at(r), QString::number(r + 1));
    // Pages are filled: some 30 one-line rows stand on a page.
    QVERIFY(pages.pageCount() <= rows / 25 + 1);
}

void TestReportPages::rowTallerThanAPage()
{
    Report report;
    ReportTable table;
    table.columns = {{"Question", 1}};
    table.rows.push_back({{QStringLiteral("Courte")}});
    table.rows.push_back({{QStringList(200, QStringLiteral("ligne")).join('\n')}});
    table.rows.push_back({{QStringLiteral("Après")}});
    report.add(std::move(table));
    const ReportPages pages = ReportPages::layOut(report, A4Area);
    QCOMPARE(pages.pageCount(), 3);
    const ReportItem &tall = pages.pages[1][1];
    QVERIFY(tall.cut);
    QCOMPARE(tall.rect.bottom(), A4Area.height() - FooterRoom);
    QCOMPARE(pages.pages[2][1].text, QStringLiteral("Après"));
    QVERIFY(!pages.pages[2][1].cut);
}

void TestReportPages::progressCanStop()
{
    const Report report = resultsLike(1000);
    QList<int> told;
    ReportPages pages = ReportPages::layOut(report, A4Area, [&told](int done, int total) {
        told << done;
        return total == 1000;
    });
    QVERIFY(pages.pageCount() > 0);
    QCOMPARE(told.size(), 6); // every 200 rows, and at the end
    QCOMPARE(told.back(), 1000);

    int calls = 0;
    pages = ReportPages::layOut(report, A4Area, [&calls](int, int) { return ++calls < 2; });
    QCOMPARE(pages.pageCount(), 0);
    QCOMPARE(calls, 2);
}

// Each pupil's copy begins a page and numbers its own pages, the pupil's name at their foot.
void TestReportPages::sectionsNumberedApart()
{
    Report report;
    report.add(ReportText::Heading, QStringLiteral("Avant"));
    for (const QString &pupil : {QStringLiteral("NGUYEN Hugo"), QStringLiteral("MARTIN Léa")}) {
        report.add(ReportText::Section, pupil);
        report.add(ReportText::Heading, pupil);
        for (int line = 0; line < (pupil.startsWith('N') ? 80 : 1); ++line)
            report.add(ReportText::Plain, QStringLiteral("Ligne %1").arg(line + 1));
    }
    const ReportPages pages = ReportPages::layOut(report, A4Area);
    QStringList footers;
    QStringList firsts;
    for (const std::vector<ReportItem> &page : pages.pages) {
        footers << page.back().text;
        firsts << page.front().text;
    }
    QCOMPARE(footers, (QStringList{"Page 1 / 1", "NGUYEN Hugo - page 1 / 2", "NGUYEN Hugo - page 2 / 2",
                                   "MARTIN Léa - page 1 / 1"}));
    QCOMPARE(firsts.at(1), QStringLiteral("NGUYEN Hugo"));
    QCOMPARE(firsts.at(3), QStringLiteral("MARTIN Léa"));
}

QTEST_MAIN(TestReportPages)
#include "tst_reportpages.moc"
