#include "accessories/monthgrid.h"
#include "platform/apperror.h"

#include <QLocale>
#include <QtTest>

Q_DECLARE_METATYPE(GridMove)

namespace {

using Cell = MonthGrid::Cell;

// 1 February 2026 is a Sunday (28 days: rows 1 to 4); 1 August 2026 a Saturday (31 days,
// reaching row 6).
const QDate SundayStart(2026, 2, 1);
const QDate SaturdayStart(2026, 8, 1);

} // namespace

class TestCalendarGrid : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void changeMonth_data();
    void changeMonth();
    void leavingTheDateRange_data();
    void leavingTheDateRange();
    void layout_data();
    void layout();
    void everyDayHasItsCell_data();
    void everyDayHasItsCell();
    void click_data();
    void click();
    void move_data();
    void move();
    void captionAndHeadings();
};

void TestCalendarGrid::changeMonth_data()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QList<int>>("deltas");
    QTest::addColumn<QDate>("expected");

    QTest::newRow("31 January 2000 to 29 February") << QDate(2000, 1, 31) << QList<int>{1} << QDate(2000, 2, 29);
    QTest::newRow("31 January 1900 to 28 February") << QDate(1900, 1, 31) << QList<int>{1} << QDate(1900, 2, 28);
    QTest::newRow("31 January 2024 to 29 February") << QDate(2024, 1, 31) << QList<int>{1} << QDate(2024, 2, 29);
    QTest::newRow("31 December 1998 forward") << QDate(1998, 12, 31) << QList<int>{1} << QDate(1999, 1, 31);
    QTest::newRow("1 January 1999 back") << QDate(1999, 1, 1) << QList<int>{-1} << QDate(1998, 12, 1);
    QTest::newRow("31 May back then forward") << QDate(2026, 5, 31) << QList<int>{-1, 1} << QDate(2026, 5, 30);
    QTest::newRow("29 February back") << QDate(2000, 2, 29) << QList<int>{-1} << QDate(2000, 1, 29);
    QTest::newRow("31 March forward") << QDate(2026, 3, 31) << QList<int>{1} << QDate(2026, 4, 30);
    QTest::newRow("a year forward") << QDate(2026, 1, 31) << QList<int>(12, 1) << QDate(2027, 1, 28);
    QTest::newRow("last month of the range") << QDate(9999, 11, 30) << QList<int>{1} << QDate(9999, 12, 30);
    QTest::newRow("first month of the range") << QDate(1, 2, 28) << QList<int>{-1} << QDate(1, 1, 28);
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

void TestCalendarGrid::leavingTheDateRange_data()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<int>("delta");
    QTest::newRow("forward from December 9999") << QDate(9999, 12, 31) << 1;
    QTest::newRow("back from January of year 1") << QDate(1, 1, 15) << -1;
}

void TestCalendarGrid::leavingTheDateRange()
{
    QFETCH(QDate, start);
    QFETCH(int, delta);
    MonthGrid grid(start);
    QString message;
    try {
        grid.changeMonth(delta);
    } catch (const AppError &error) {
        message = error.message();
    }
    QCOMPARE(message, QStringLiteral("Argument incorrect pour date encode"));
    QCOMPARE(grid.date(), start);
}

void TestCalendarGrid::layout_data()
{
    QTest::addColumn<QDate>("month");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("day");

    QTest::newRow("Sunday start: 1st in column 0") << SundayStart << 1 << 0 << 1;
    QTest::newRow("Sunday start: 28th ends row 4") << SundayStart << 4 << 6 << 28;
    QTest::newRow("Sunday start: row 5 empty") << SundayStart << 5 << 0 << 0;
    QTest::newRow("Saturday start: column 5 of row 1 empty") << SaturdayStart << 1 << 5 << 0;
    QTest::newRow("Saturday start: 1st in column 6") << SaturdayStart << 1 << 6 << 1;
    QTest::newRow("Saturday start: 30th in row 6") << SaturdayStart << 6 << 0 << 30;
    QTest::newRow("Saturday start: 31st in row 6") << SaturdayStart << 6 << 1 << 31;
    QTest::newRow("Saturday start: after the 31st") << SaturdayStart << 6 << 2 << 0;
    QTest::newRow("heading row") << SaturdayStart << 0 << 6 << 0;
    QTest::newRow("Monday start") << QDate(2026, 6, 1) << 1 << 1 << 1;
    QTest::newRow("February of a leap year") << QDate(2000, 2, 1) << 5 << 2 << 29;
}

void TestCalendarGrid::layout()
{
    QFETCH(QDate, month);
    QFETCH(int, row);
    QFETCH(int, column);
    QTEST(MonthGrid(month).dayAt({row, column}), "day");
}

void TestCalendarGrid::everyDayHasItsCell_data()
{
    QTest::addColumn<int>("year");
    for (int year : {1, 1582, 1900, 2000, 2026, 9999})
        QTest::addRow("%d", year) << year;
}

void TestCalendarGrid::everyDayHasItsCell()
{
    QFETCH(int, year);
    for (int month = 1; month <= 12; ++month) {
        const MonthGrid grid(QDate(year, month, 1));
        const int length = MonthGrid::daysInMonth(year, month);
        QCOMPARE(length, QDate(year, month, 1).daysInMonth());
        int days = 0;
        for (int row = 0; row < MonthGrid::Rows; ++row) {
            for (int column = 0; column < MonthGrid::Columns; ++column) {
                const int day = grid.dayAt({row, column});
                if (day == 0)
                    continue;
                ++days;
                QVERIFY(grid.cellOf(day) == (Cell{row, column}));
                // Under its weekday: column 0 is Sunday, Qt's day 7.
                QCOMPARE(column, QDate(year, month, day).dayOfWeek() % 7);
            }
        }
        QCOMPARE(days, length);
        QCOMPARE(grid.cellOf(1).row, 1);
    }
}

void TestCalendarGrid::click_data()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QDate>("expected");

    const QDate start(2026, 8, 12);
    QTest::newRow("a day") << start << 6 << 1 << QDate(2026, 8, 31);
    QTest::newRow("empty cell before the 1st") << start << 1 << 0 << start;
    QTest::newRow("empty cell after the last") << start << 6 << 6 << start;
    QTest::newRow("heading") << start << 0 << 3 << start;
    QTest::newRow("the selected day") << start << 3 << 3 << start;
    QTest::newRow("outside the grid") << start << 7 << 0 << start;
}

void TestCalendarGrid::click()
{
    QFETCH(QDate, start);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QDate, expected);
    MonthGrid grid(start);
    QCOMPARE(grid.selectCell({row, column}), expected != start);
    QCOMPARE(grid.date(), expected);
}

void TestCalendarGrid::move_data()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<GridMove>("move");
    QTest::addColumn<QDate>("expected");

    const auto august = [](int day) { return QDate(2026, 8, day); };
    const auto february = [](int day) { return QDate(2026, 2, day); };
    QTest::newRow("right") << august(30) << GridMove::Right << august(31);
    QTest::newRow("right onto an empty cell") << august(31) << GridMove::Right << august(31);
    QTest::newRow("right at the row's end, no wrap") << august(8) << GridMove::Right << august(8);
    QTest::newRow("left onto an empty cell") << august(1) << GridMove::Left << august(1);
    QTest::newRow("left at the row's start, no wrap") << august(2) << GridMove::Left << august(2);
    QTest::newRow("up onto the heading") << august(1) << GridMove::Up << august(1);
    QTest::newRow("up") << august(9) << GridMove::Up << august(2);
    QTest::newRow("down") << august(1) << GridMove::Down << august(8);
    QTest::newRow("down past row 6") << august(31) << GridMove::Down << august(31);
    QTest::newRow("down onto an empty cell") << february(27) << GridMove::Down << february(27);
    QTest::newRow("home") << august(15) << GridMove::RowStart << august(9);
    QTest::newRow("home onto an empty cell") << august(1) << GridMove::RowStart << august(1);
    QTest::newRow("end") << february(1) << GridMove::RowEnd << february(7);
    QTest::newRow("end onto an empty cell") << august(30) << GridMove::RowEnd << august(30);
    QTest::newRow("page up to row 1") << february(10) << GridMove::FirstRow << february(3);
    QTest::newRow("page up onto an empty cell") << august(17) << GridMove::FirstRow << august(17);
    QTest::newRow("page down to row 6") << august(24) << GridMove::LastRow << august(31);
    QTest::newRow("page down onto an empty cell") << august(15) << GridMove::LastRow << august(15);
}

void TestCalendarGrid::move()
{
    QFETCH(QDate, start);
    QFETCH(GridMove, move);
    QFETCH(QDate, expected);
    MonthGrid grid(start);
    QCOMPARE(grid.move(move), expected != start);
    QCOMPARE(grid.date(), expected);
}

void TestCalendarGrid::captionAndHeadings()
{
    const QLocale french(QLocale::French, QLocale::France);
    QCOMPARE(MonthGrid(QDate(1998, 10, 20)).caption(french), QStringLiteral("octobre  1998"));
    QCOMPARE(MonthGrid(QDate(9, 8, 1)).caption(french), QStringLiteral("août  0009"));
    QCOMPARE(MonthGrid::weekdayHeading(french, 0), QStringLiteral("dim."));
    QCOMPARE(MonthGrid::weekdayHeading(french, 6), QStringLiteral("sam."));
}

QTEST_GUILESS_MAIN(TestCalendarGrid)
#include "tst_calendargrid.moc"
