#include "accessories/monthgrid.h"

#include "platform/apperror.h"

#include <QLocale>

#include <algorithm>

namespace {

constexpr int DaysPerWeek = 7;
constexpr int MonthsPerYear = 12;
// Weekdays counted 0 for Sunday to 6 for Saturday; the grid's first column is Sunday.
constexpr int FirstWeekday = 0;

// Qt counts weekdays 1 for Monday to 7 for Sunday.
int sundayBasedWeekday(const QDate &date)
{
    return date.dayOfWeek() % DaysPerWeek;
}

} // namespace

MonthGrid::MonthGrid(const QDate &date) : m_date(date)
{
    Q_ASSERT(date.isValid() && date.year() >= FirstYear && date.year() <= LastYear);
}

bool MonthGrid::isLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int MonthGrid::daysInMonth(int year, int month)
{
    static constexpr int Lengths[MonthsPerYear] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && isLeapYear(year))
        return 29;
    return Lengths[month - 1];
}

int MonthGrid::offset() const
{
    const int columnOfFirst =
        (sundayBasedWeekday(QDate(m_date.year(), m_date.month(), 1)) - FirstWeekday + DaysPerWeek) % DaysPerWeek;
    return 1 - columnOfFirst;
}

int MonthGrid::dayAt(const Cell &cell) const
{
    if (cell.row < FirstDayRow || cell.row > LastDayRow || cell.column < 0 || cell.column >= Columns)
        return 0;
    const int day = cell.column + offset() + DaysPerWeek * (cell.row - FirstDayRow);
    return day >= 1 && day <= daysInMonth(m_date.year(), m_date.month()) ? day : 0;
}

MonthGrid::Cell MonthGrid::cellOf(int day) const
{
    const int index = day - offset();
    return {FirstDayRow + index / DaysPerWeek, index % DaysPerWeek};
}

bool MonthGrid::selectCell(const Cell &cell)
{
    const int day = dayAt(cell);
    if (day == 0 || day == m_date.day())
        return false;
    m_date = QDate(m_date.year(), m_date.month(), day);
    return true;
}

bool MonthGrid::move(GridMove move)
{
    Cell target = selectedCell();
    switch (move) {
    case GridMove::Left: --target.column; break;
    case GridMove::Right: ++target.column; break;
    case GridMove::Up: --target.row; break;
    case GridMove::Down: ++target.row; break;
    case GridMove::RowStart: target.column = 0; break;
    case GridMove::RowEnd: target.column = Columns - 1; break;
    case GridMove::FirstRow: target.row = FirstDayRow; break;
    case GridMove::LastRow: target.row = LastDayRow; break;
    }
    return selectCell(target);
}

void MonthGrid::changeMonth(int delta)
{
    Q_ASSERT(delta == 1 || delta == -1);
    int year = m_date.year();
    int month = m_date.month() + delta;
    if (month > MonthsPerYear) {
        month = 1;
        ++year;
    } else if (month < 1) {
        month = MonthsPerYear;
        --year;
    }
    if (year < FirstYear || year > LastYear)
        throw AppError(tr("Argument incorrect pour date encode"));
    m_date = QDate(year, month, std::min(m_date.day(), daysInMonth(year, month)));
}

QString MonthGrid::caption(const QLocale &locale) const
{
    return locale.monthName(m_date.month(), QLocale::LongFormat) + QStringLiteral("  ")
        + QStringLiteral("%1").arg(m_date.year(), 4, 10, QLatin1Char('0'));
}

QString MonthGrid::weekdayHeading(const QLocale &locale, int column)
{
    const int weekday = (column + FirstWeekday) % DaysPerWeek;
    return locale.dayName(weekday == 0 ? DaysPerWeek : weekday, QLocale::ShortFormat);
}
