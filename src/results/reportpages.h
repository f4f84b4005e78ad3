#pragma once

#include "results/report.h"

#include <QCoreApplication>
#include <QFont>
#include <QRectF>
#include <QSizeF>

#include <functional>
#include <vector>

class QPagedPaintDevice;
class QPainter;

// One thing drawn on a page of a report, in points from the printable area's top left corner.
struct ReportItem
{
    enum Style { Heading, Subheading, Plain, Bold, Caption, Footer };
    Style style = Plain;
    QRectF rect;
    QString text;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool cell = false; // a table cell: framed, its text inside the padding
    bool cut = false;  // a row taller than a page: its text is cut at the cell's edges
};

// A report laid out on pages: texts one under the other, tables row by row with their header row
// at the top of every page they reach, a row never split between pages, "Page n / N" at the foot
// of each page. Every row is measured once and placed once, so a table of 10,000 rows costs ten
// times one of 1,000 (a rich-text table is laid out again for every page it is drawn on).
// Measured with fonts in pixel sizes, which the painter draws one point each.
class ReportPages
{
    Q_DECLARE_TR_FUNCTIONS(ReportPages)

public:
    // Told how many table rows are laid out of how many; false stops the layout.
    using Progress = std::function<bool(int done, int total)>;

    // An empty result (no page) when `progress` stopped it.
    static ReportPages layOut(const Report &report, const QSizeF &area, const Progress &progress = {});

    int pageCount() const { return int(pages.size()); }
    // Draws every page with a painter begun on `device`, from its first page, one point of the
    // layout to one printed point. `progress` is told before each page (pages drawn, pages in
    // all); false stops the drawing there, with the painter still active so that the caller can
    // abort the printer: then false.
    bool draw(QPainter &painter, QPagedPaintDevice &device, const Progress &progress = {}) const;
    // Draws one page; the painter's unit is the point, from the printable area's corner.
    void drawPage(QPainter &painter, int page) const;

    std::vector<std::vector<ReportItem>> pages;
};
