#pragma once

#include <QCoreApplication>
#include <QDate>

class QLocale;

// How the month grid's keys move the selection: one cell left, right, up or down; to the first
// or last column of the row (Home, End); to the first or last row of days (Page Up, Page Down).
enum class GridMove { Left, Right, Up, Down, RowStart, RowEnd, FirstRow, LastRow };

// The month calendar's date and the 7 x 7 grid it lays out: a heading row of weekdays from
// Sunday to Saturday, then six rows of day numbers with the 1st in row 1 under its weekday.
// The date's year and month are the month shown, its day the selected cell. Every date it
// holds is valid: the day is always limited to the length of the month.
class MonthGrid
{
    Q_DECLARE_TR_FUNCTIONS(MonthGrid)

public:
    static constexpr int Columns = 7;
    static constexpr int Rows = 7;
    static constexpr int FirstDayRow = 1;
    static constexpr int LastDayRow = 6;
    static constexpr int FirstYear = 1;
    static constexpr int LastYear = 9999;

    struct Cell
    {
        int row;
        int column;
        bool operator==(const Cell &other) const { return row == other.row && column == other.column; }
    };

    // `date` must be valid and within the years 1 to 9999.
    explicit MonthGrid(const QDate &date);

    const QDate &date() const { return m_date; }

    // The day number in a cell; 0 for the heading row and for the cells before the 1st and
    // after the last day.
    int dayAt(const Cell &cell) const;
    Cell cellOf(int day) const;
    Cell selectedCell() const { return cellOf(m_date.day()); }

    // A click: the cell's day becomes the selected day. False, and nothing changes, for an
    // empty cell, the heading row or the day already selected.
    bool selectCell(const Cell &cell);
    // A key's move. Refused (false) at the edge of the grid and onto an empty cell.
    bool move(GridMove move);
    // The next (+1) or previous (-1) month, the day kept when the new month is long enough,
    // else its last day. Throws AppError when the month would leave the years 1 to 9999.
    void changeMonth(int delta);

    // "mmmmm  yyyy": the month's full name, two blanks, the year in four digits.
    QString caption(const QLocale &locale) const;
    // The abbreviated weekday name at the head of a column.
    static QString weekdayHeading(const QLocale &locale, int column);

    static bool isLeapYear(int year);
    static int daysInMonth(int year, int month);

private:
    // Day number of the cell in column 0 of row 1 (zero or below when the month starts later).
    int offset() const;

    QDate m_date;
};
