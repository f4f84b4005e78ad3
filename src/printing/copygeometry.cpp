#include "printing/copygeometry.h"

#include "printing/paperlayout.h"

namespace CopyGeometry {

namespace {

constexpr qreal PageWidth = mm(210);
constexpr qreal PageHeight = mm(297);
constexpr qreal ContentLeft = mm(18);
constexpr qreal ContentRight = mm(192);
constexpr qreal ContentBottom = mm(280);

// The answer sheet's grid.
constexpr qreal SheetTop = mm(72);
constexpr qreal SheetRowPitch = mm(8);
constexpr qreal SheetColumnPitch = mm(58);
constexpr qreal SheetNumberWidth = mm(10);
constexpr qreal SheetFirstBox = mm(12);
constexpr qreal SheetBoxPitch = mm(8);
// The note right of a row's boxes: past the reader's frame round the last box, short of the
// widest number the next column may have ("150").
constexpr qreal SheetNoteGap = mm(1.5);
constexpr qreal SheetNoteWidth = mm(10.5);

QRectF millimetres(qreal left, qreal top, qreal right, qreal bottom)
{
    return QRectF(QPointF(mm(left), mm(top)), QPointF(mm(right), mm(bottom)));
}

} // namespace

QSizeF pageSize()
{
    return QSizeF(PageWidth, PageHeight);
}

QRectF cornerMark(Corner corner)
{
    const qreal left = corner == TopLeft || corner == BottomLeft ? MarkInset : PageWidth - MarkInset - MarkSide;
    const qreal top = corner == TopLeft || corner == TopRight ? MarkInset : PageHeight - MarkInset - MarkSide;
    return QRectF(left, top, MarkSide, MarkSide);
}

std::array<QPointF, 4> markCentres()
{
    return {cornerMark(TopLeft).center(), cornerMark(TopRight).center(), cornerMark(BottomRight).center(),
            cornerMark(BottomLeft).center()};
}

QRectF codeArea()
{
    return millimetres(160, 10, 192, 42);
}

QRectF headingArea()
{
    return millimetres(18, 10, 156, 24);
}

QRectF nameBox()
{
    return millimetres(18, 25, 156, 42);
}

QRectF instructionsArea()
{
    return millimetres(18, 45, 192, 62);
}

QRectF questionsArea(int pageIndex)
{
    const qreal top = pageIndex == 0 ? mm(64) : mm(45);
    return QRectF(QPointF(ContentLeft, top), QPointF(ContentRight, ContentBottom));
}

qreal besideBoxLeft()
{
    return ContentLeft + PaperLayout::Indent;
}

qreal besideBoxSide()
{
    return PaperLayout::BoxSize;
}

QRectF sheetBox(int slot, int answer)
{
    const int column = slot / SheetRows;
    const int row = slot % SheetRows;
    const qreal left = ContentLeft + column * SheetColumnPitch + SheetFirstBox + (answer - 1) * SheetBoxPitch;
    const qreal top = SheetTop + row * SheetRowPitch + (SheetRowPitch - SheetBoxSide) / 2;
    return QRectF(left, top, SheetBoxSide, SheetBoxSide);
}

QRectF sheetNumber(int slot)
{
    const int column = slot / SheetRows;
    const int row = slot % SheetRows;
    return QRectF(ContentLeft + column * SheetColumnPitch, SheetTop + row * SheetRowPitch, SheetNumberWidth,
                  SheetRowPitch);
}

QRectF sheetColumnHeading(int column, int answer)
{
    const QRectF box = sheetBox(column * SheetRows, answer);
    return QRectF(box.left() - mm(2), SheetTop - SheetRowPitch, box.width() + mm(4), SheetRowPitch);
}

QRectF sheetNote(int slot)
{
    const QRectF last = sheetBox(slot, 5);
    const QRectF number = sheetNumber(slot);
    return QRectF(last.right() + SheetNoteGap, number.top(), SheetNoteWidth, number.height());
}

} // namespace CopyGeometry
