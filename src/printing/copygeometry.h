#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <array>

// The two ways a copy to be marked from a scan is laid out.
enum class CopyLayout {
    // The questions and their answers, a box beside each answer, as the paper test prints them;
    // each copy in its own order when the settings shuffle.
    BoxesBeside,
    // A separate answer sheet ("Feuille de réponses"): a grid of numbered questions with boxes 1
    // to 5, beside one question booklet printed for everybody in the questionnaire's order.
    AnswerSheet,
};

// Where everything a scan reader looks for stands on a copy's page: the four corner marks, the
// code that names the page, the name box, the boxes of the answer sheet's grid, the area left
// for the questions. In points from the paper's top left corner, A4 upright; the same for every
// printer, since a copy is drawn on the whole sheet and the marks sit where every printer
// reaches (10 mm in). Fixed, so that nothing but the page's code is needed to read a page.
namespace CopyGeometry {

inline constexpr qreal PointsPerMillimetre = 72.0 / 25.4;
constexpr qreal mm(qreal millimetres) { return millimetres * PointsPerMillimetre; }

QSizeF pageSize();

// Solid squares, big enough to stand out from a blackened box (2.6 times its area) and far
// from anything else printed.
inline constexpr qreal MarkSide = mm(5);
inline constexpr qreal MarkInset = mm(10);
enum Corner { TopLeft, TopRight, BottomRight, BottomLeft };
QRectF cornerMark(Corner corner);
// The centres of the marks, in the order of Corner.
std::array<QPointF, 4> markCentres();

// The square the page's code is drawn in (with its quiet zone), top right, beside the mark.
QRectF codeArea();
// Title, copy and page, left of the code.
QRectF headingArea();
// Where a pupil writes a name, on a copy's first page when no name is printed on it.
QRectF nameBox();
// Below the header, on the first page: how to tick.
QRectF instructionsArea();
// Where questions go on a page of a copy laid out with boxes beside the answers.
QRectF questionsArea(int pageIndex);

// Boxes beside the answers stand in one column at this distance from the paper's left edge;
// only their tops vary, and the page's code says them.
qreal besideBoxLeft();
qreal besideBoxSide();

// The answer sheet: SheetColumns columns of SheetRows questions per page, at most two pages.
inline constexpr int SheetColumns = 3;
inline constexpr int SheetRows = 25;
inline constexpr int SheetSlotsPerPage = SheetColumns * SheetRows;
inline constexpr int SheetMaxPages = 2;
inline constexpr qreal SheetBoxSide = mm(4);
// The box of answer `answer` (1 to 5) of the question in slot `slot` (0 to SheetSlotsPerPage
// - 1, down the first column first).
QRectF sheetBox(int slot, int answer);
// The question's number, left of its boxes.
QRectF sheetNumber(int slot);
// The answers' numbers above each column.
QRectF sheetColumnHeading(int column, int answer);
// Right of the boxes of the question in slot `slot`, where a question with several right
// answers says so: clear of the frame the reader measures round box 5 and of the next column's
// number.
QRectF sheetNote(int slot);

} // namespace CopyGeometry
