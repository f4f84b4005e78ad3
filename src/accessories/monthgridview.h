#pragma once

#include "accessories/monthgrid.h"

#include <QFrame>
#include <QLocale>

// The month grid on screen: a heading row of weekdays, then the days of the month of its date,
// the selected day highlighted. A click on a day, or the arrows, Home, End, Page Up and Page
// Down, select another day of the month; empty cells and the heading cannot be selected. Every
// change of the date redraws the grid and is announced by changed().
class MonthGridView : public QFrame
{
    Q_OBJECT

public:
    explicit MonthGridView(const QDate &date, QWidget *parent = nullptr);

    const MonthGrid &grid() const { return m_grid; }
    // Next (+1) or previous (-1) month; throws AppError when leaving the years 1 to 9999.
    void changeMonth(int delta);

    // The text a cell shows: a weekday's abbreviation, a day number or nothing.
    QString cellText(const MonthGrid::Cell &cell) const;
    QRect cellRect(const MonthGrid::Cell &cell) const;

Q_SIGNALS:
    void changed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QSize cellSize() const;
    std::optional<MonthGrid::Cell> cellAt(const QPoint &point) const;
    void dateChanged();

    MonthGrid m_grid;
    QLocale m_locale;
};
