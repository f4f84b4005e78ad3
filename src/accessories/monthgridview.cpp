#include "accessories/monthgridview.h"

#include "platform/frenchconventions.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace {

constexpr int GridLineWidth = 1;
const QColor Lime(0, 255, 0);

std::optional<GridMove> moveOfKey(int key)
{
    switch (key) {
    case Qt::Key_Left: return GridMove::Left;
    case Qt::Key_Right: return GridMove::Right;
    case Qt::Key_Up: return GridMove::Up;
    case Qt::Key_Down: return GridMove::Down;
    case Qt::Key_Home: return GridMove::RowStart;
    case Qt::Key_End: return GridMove::RowEnd;
    case Qt::Key_PageUp: return GridMove::FirstRow;
    case Qt::Key_PageDown: return GridMove::LastRow;
    default: return std::nullopt;
    }
}

} // namespace

MonthGridView::MonthGridView(const QDate &date, QWidget *parent)
    : QFrame(parent), m_grid(date), m_locale(frenchLocale(QLocale()))
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Lime);
    colours.setColor(QPalette::Window, Lime);
    setPalette(colours);
}

QSize MonthGridView::cellSize() const
{
    // Seven columns and seven rows share the inside with six grid lines each way.
    const QRect inside = contentsRect();
    return {(inside.width() - (MonthGrid::Columns - 1) * GridLineWidth) / MonthGrid::Columns,
            (inside.height() - (MonthGrid::Rows - 1) * GridLineWidth) / MonthGrid::Rows};
}

QRect MonthGridView::cellRect(const MonthGrid::Cell &cell) const
{
    const QSize size = cellSize();
    const QPoint origin = contentsRect().topLeft();
    return {origin.x() + cell.column * (size.width() + GridLineWidth),
            origin.y() + cell.row * (size.height() + GridLineWidth), size.width(), size.height()};
}

std::optional<MonthGrid::Cell> MonthGridView::cellAt(const QPoint &point) const
{
    for (int row = 0; row < MonthGrid::Rows; ++row) {
        for (int column = 0; column < MonthGrid::Columns; ++column) {
            if (cellRect({row, column}).contains(point))
                return MonthGrid::Cell{row, column};
        }
    }
    return std::nullopt;
}

QString MonthGridView::cellText(const MonthGrid::Cell &cell) const
{
    if (cell.row == 0)
        return MonthGrid::weekdayHeading(m_locale, cell.column);
    const int day = m_grid.dayAt(cell);
    return day == 0 ? QString() : QString::number(day);
}

void MonthGridView::changeMonth(int delta)
{
    m_grid.changeMonth(delta);
    dateChanged();
}

void MonthGridView::dateChanged()
{
    update();
    Q_EMIT changed();
}

void MonthGridView::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    // The lines are the ground showing between the cells; what the cells leave over at the
    // right and bottom keeps the grid's colour.
    const QRect lastCell = cellRect({MonthGrid::Rows - 1, MonthGrid::Columns - 1});
    painter.fillRect(QRect(contentsRect().topLeft(), lastCell.bottomRight()), palette().color(QPalette::Dark));
    const MonthGrid::Cell selected = m_grid.selectedCell();
    for (int row = 0; row < MonthGrid::Rows; ++row) {
        for (int column = 0; column < MonthGrid::Columns; ++column) {
            const MonthGrid::Cell cell{row, column};
            const QRect rect = cellRect(cell);
            QColor ground = Lime;
            QColor ink = Qt::black;
            if (row == 0) {
                ground = palette().color(QPalette::Button);
                ink = palette().color(QPalette::ButtonText);
            } else if (cell == selected) {
                ground = palette().color(QPalette::Active, QPalette::Highlight);
                ink = palette().color(QPalette::Active, QPalette::HighlightedText);
            }
            painter.fillRect(rect, ground);
            painter.setPen(ink);
            painter.drawText(rect, Qt::AlignCenter, cellText(cell));
        }
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = cellRect(selected);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void MonthGridView::mousePressEvent(QMouseEvent *event)
{
    QFrame::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const std::optional<MonthGrid::Cell> cell = cellAt(event->position().toPoint());
    if (cell && m_grid.selectCell(*cell))
        dateChanged();
}

void MonthGridView::keyPressEvent(QKeyEvent *event)
{
    const std::optional<GridMove> move = moveOfKey(event->key());
    if (move) {
        if (m_grid.move(*move))
            dateChanged();
        event->accept();
        return;
    }
    // Enter in the grid selects nothing and must not press a button of the window.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QFrame::keyPressEvent(event);
}
