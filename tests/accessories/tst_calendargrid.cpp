#include "accessories/monthgrid.h"

#include <QtTest>

class TestCalendarGrid : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void changeMonth_data();
    void changeMonth();
    void everyDayUnderItsWeekday_data();
    void everyDayUnderItsWeekday();
};

void TestCalendarGrid::changeMonth_data()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QList<int>>("deltas");
    QTest::addColumn<QDate>("expected");

    // Leaving the date range and the turns of the year are driven through the window.
    QTest::newRow("31 January 2000 to 29 February") << QDate(2000, 1, 31) << QList<int>{1} << QDate(2000, 2, 29);
    QTest::newRow("31 January 1900 to 28 February") << QDate(1900, 1, 31) << QList<int>{1} << QDate(1900, 2, 28);
    QTest::newRow("31 May back then forward") << QDate(2026, 5, 31) << QList<int>{-1, 1} << QDate(2026, 5, 30);
    QTest::newRow("29 February back") << QDate(2000, 2, 29) << QList<int>{-1} << QDate(2000, 1, 29);
    QTest::newRow("a year forward") << QDate(2026, 1, 31) << QList<int>(12, 1) << QDate(2027, 1, 28);
    QTest::newRow("into December 9999") << QDate(9999, 11, 30) << QList<int>{1} << QDate(9999, 12, 30);
}

void TestCalendarGrid::changeMonth()
{
    QFETCH(QDate, start);
    QFETCH(QList<int>, deltas);
    MonthGrid grid(start);
    for (int delta : deltas)
        grid.changeMonth(delta);
    QTEST(grid.date(), "expected");
}

void TestCalendarGrid::everyDayUnderItsWeekday_data()
{
    QTest::addColumn<int>("year");
    // 2026 has months starting on Sunday (February, March, November) and on Saturday
    // (August, 31 days, reaching row 6).
    for (int year : {1, 1900, 2000, 2026, 9999})
        QTest::addRow("%d", year) << year;
}

void TestCalendarGrid::everyDayUnderItsWeekday()
{
    QFETCH(int, year);
    for (int month = 1; month <= 12; ++month) {
        const MonthGrid grid(QDate(year, month, 1));
        QCOMPARE(MonthGrid::daysInMonth(year, month), QDate(year, month, 1).daysInMonth());
        int days = 0;
        for (int row = 0; row < MonthGrid::Rows; ++row) {
            for (int column = 0; column < MonthGrid::Columns; ++column) {
                const int day = grid.dayAt({row, column});
                if (day == 0)
                    continue;
                // Days in order from the 1st in row 1; column 0 is Sunday, Qt's day 7.
                QCOMPARE(day, ++days);
                QCOMPARE(row, days == 1 ? 1 : row);
                QCOMPARE(column, QDate(year, month, day).dayOfWeek() % 7);
                QVERIFY(grid.cellOf(day) == (MonthGrid::Cell{row, column}));
            }
        }
        QCOMPARE(days, MonthGrid::daysInMonth(year, month));
    }
}

QTEST_GUILESS_MAIN(TestCalendarGrid)
#include "tst_calendargrid.moc"
