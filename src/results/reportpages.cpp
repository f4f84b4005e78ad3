#include "results/reportpages.h"

#include "results/printedtext.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <array>

namespace {

constexpr qreal Padding = 3;        // inside a cell
constexpr qreal LineWidth = 0.5;    // of a cell's frame
constexpr qreal TextGap = 4;        // below a line of text
constexpr qreal HeadingGap = 8;     // below a heading
constexpr qreal TableGap = 12;      // below a table
constexpr qreal FooterHeight = 18;
constexpr int RowsPerProgress = 200;
constexpr qreal PointsPerInch = 72;

constexpr int StyleCount = ReportItem::Footer + 1;

// The fonts of the item styles, in the order of ReportItem::Style.
std::array<QFont, StyleCount> styleFonts()
{
    return {PrintedText::font(16, true), PrintedText::font(13, true), PrintedText::font(10, false),
            PrintedText::font(10, true), PrintedText::font(10, true), PrintedText::font(9, false)};
}

ReportItem::Style itemStyle(ReportText::Style style)
{
    switch (style) {
    case ReportText::Heading: return ReportItem::Heading;
    case ReportText::Subheading: return ReportItem::Subheading;
    case ReportText::Bold: return ReportItem::Bold;
    case ReportText::Plain:
    case ReportText::Section: break;
    }
    return ReportItem::Plain;
}

// Places the parts down the pages; the one pass over the report.
class PageFiller
{
public:
    PageFiller(const QSizeF &area, const ReportPages::Progress &progress, int totalRows)
        : m_width(area.width()), m_bottom(area.height() - FooterHeight), m_progress(progress), m_totalRows(totalRows)
    {
        const std::array<QFont, StyleCount> fonts = styleFonts();
        for (const QFont &font : fonts)
            m_metrics.emplace_back(font);
        m_pages.emplace_back();
    }

    void place(const ReportText &text)
    {
        if (text.style == ReportText::Section) {
            if (m_y > 0)
                newPage();
            m_sections.push_back({m_pages.size() - 1, text.text});
            return;
        }
        const ReportItem::Style style = itemStyle(text.style);
        const qreal height = PrintedText::height(metrics(style), text.text, m_width);
        if (m_y > 0 && m_y + height > m_bottom)
            newPage();
        add({style, QRectF(0, m_y, m_width, height), text.text});
        const bool heading = style == ReportItem::Heading || style == ReportItem::Subheading;
        m_y += height + (heading ? HeadingGap : TextGap);
    }

    // False when the progress stopped it.
    bool place(const ReportTable &table)
    {
        layOutColumns(table);
        const qreal headerHeight = rowHeight(captionsOf(table), {}, true);
        const qreal firstRowHeight = table.rows.empty() ? 0 : rowHeight(table.rows.front().cells, {}, false);
        if (m_y > 0 && m_y + headerHeight + firstRowHeight > m_bottom)
            newPage();
        placeRow(captionsOf(table), {}, headerHeight, true);
        for (const ReportTable::Row &row : table.rows) {
            const qreal height = rowHeight(row.cells, row.emphasised, false);
            // A row is never split: it goes to the next page, under the header row again.
            if (m_y + height > m_bottom && m_y > m_headerBottom) {
                newPage();
                placeRow(captionsOf(table), {}, headerHeight, true);
            }
            placeRow(row.cells, row.emphasised, height, false);
            if (++m_rowsDone % RowsPerProgress == 0 && !tellProgress())
                return false;
        }
        m_y += TableGap;
        return true;
    }

    bool tellProgress() const { return !m_progress || m_progress(m_rowsDone, m_totalRows); }

    std::vector<std::vector<ReportItem>> takePages(qreal areaHeight)
    {
        // Pages before the first section, then each section's, are numbered apart.
        std::vector<std::pair<size_t, QString>> sections{{0, QString()}};
        for (const auto &section : m_sections) {
            if (section.first == sections.back().first)
                sections.back() = section;
            else
                sections.push_back(section);
        }
        for (size_t s = 0; s < sections.size(); ++s) {
            const size_t first = sections[s].first;
            const size_t end = s + 1 < sections.size() ? sections[s + 1].first : m_pages.size();
            const int count = int(end - first);
            for (size_t page = first; page < end; ++page) {
                const int number = int(page - first) + 1;
                const QString footer = sections[s].second.isEmpty()
                                           ? ReportPages::tr("Page %1 / %2").arg(number).arg(count)
                                           : ReportPages::tr("%1 - page %2 / %3").arg(sections[s].second).arg(number).arg(count);
                m_pages[page].push_back({ReportItem::Footer,
                                         QRectF(0, areaHeight - FooterHeight + 4, m_width, FooterHeight - 4), footer,
                                         Qt::AlignHCenter | Qt::AlignBottom});
            }
        }
        return std::move(m_pages);
    }

private:
    const QFontMetricsF &metrics(ReportItem::Style style) const { return m_metrics[size_t(style)]; }

    void newPage()
    {
        m_pages.emplace_back();
        m_y = 0;
        m_headerBottom = 0;
    }

    void add(ReportItem item) { m_pages.back().push_back(std::move(item)); }

    // Where each section begins (a page index) and the text at the foot of its pages.
    std::vector<std::pair<size_t, QString>> m_sections;

    static QStringList captionsOf(const ReportTable &table)
    {
        QStringList captions;
        for (const ReportTable::Column &column : table.columns)
            captions << column.caption;
        return captions;
    }

    void layOutColumns(const ReportTable &table)
    {
        m_columns = table.columns;
        int weights = 0;
        for (const ReportTable::Column &column : table.columns)
            weights += std::max(1, column.weight);
        m_lefts.clear();
        m_widths.clear();
        qreal left = 0;
        for (const ReportTable::Column &column : table.columns) {
            const qreal width = m_width * std::max(1, column.weight) / std::max(1, weights);
            m_lefts.push_back(left);
            m_widths.push_back(width);
            left += width;
        }
    }

    ReportItem::Style cellStyle(int column, const QList<int> &emphasised, bool header) const
    {
        if (header)
            return ReportItem::Caption;
        return emphasised.contains(column) ? ReportItem::Bold : ReportItem::Plain;
    }

    qreal rowHeight(const QStringList &cells, const QList<int> &emphasised, bool header) const
    {
        qreal height = metrics(ReportItem::Plain).lineSpacing();
        for (int c = 0; c < int(m_widths.size()) && c < cells.size(); ++c) {
            const QString &text = cells.at(c);
            if (!text.isEmpty())
                height = std::max(height, PrintedText::height(metrics(cellStyle(c, emphasised, header)), text,
                                                              m_widths[size_t(c)] - 2 * Padding));
        }
        return height + 2 * Padding;
    }

    void placeRow(const QStringList &cells, const QList<int> &emphasised, qreal height, bool header)
    {
        // A row taller than what a page holds below its header would run into the footer: it
        // keeps what the page holds.
        const qreal room = m_bottom - m_y;
        const bool cut = height > room;
        height = std::min(height, room);
        for (int c = 0; c < int(m_widths.size()); ++c) {
            const Qt::Alignment alignment = header ? Qt::AlignHCenter
                                          : m_columns[size_t(c)].number ? Qt::AlignRight : Qt::AlignLeft;
            add({cellStyle(c, emphasised, header), QRectF(m_lefts[size_t(c)], m_y, m_widths[size_t(c)], height),
                 cells.value(c), alignment, true, cut});
        }
        m_y += height;
        if (header)
            m_headerBottom = m_y;
    }

    const qreal m_width;
    const qreal m_bottom;
    const ReportPages::Progress &m_progress;
    const int m_totalRows;
    std::vector<QFontMetricsF> m_metrics;
    std::vector<std::vector<ReportItem>> m_pages;
    qreal m_y = 0;
    qreal m_headerBottom = 0; // below the header row on this page; 0 when there is none
    int m_rowsDone = 0;
    std::vector<ReportTable::Column> m_columns;
    std::vector<qreal> m_lefts, m_widths;
};

} // namespace

ReportPages ReportPages::layOut(const Report &report, const QSizeF &area, const Progress &progress)
{
    PageFiller filler(area, progress, report.tableRows());
    for (const Report::Part &part : report.parts) {
        if (const auto *text = std::get_if<ReportText>(&part))
            filler.place(*text);
        else if (!filler.place(std::get<ReportTable>(part)))
            return {};
    }
    if (!filler.tellProgress())
        return {};
    ReportPages layout;
    layout.pages = filler.takePages(area.height());
    return layout;
}

bool ReportPages::draw(QPainter &painter, QPagedPaintDevice &device, const Progress &progress) const
{
    const qreal scale = device.logicalDpiX() / PointsPerInch;
    painter.scale(scale, scale);
    for (int page = 0; page < pageCount(); ++page) {
        if (progress && !progress(page, pageCount()))
            return false;
        if (page > 0)
            device.newPage();
        drawPage(painter, page);
    }
    return !progress || progress(pageCount(), pageCount());
}

void ReportPages::drawPage(QPainter &painter, int page) const
{
    const std::array<QFont, StyleCount> fonts = styleFonts();
    painter.save();
    painter.setPen(QPen(Qt::black, LineWidth));
    painter.setBrush(Qt::NoBrush);
    int font = -1;
    for (const ReportItem &item : pages.at(size_t(page))) {
        if (item.style != font) {
            font = item.style;
            painter.setFont(fonts[size_t(font)]);
        }
        if (item.cell) {
            painter.drawRect(item.rect);
            if (item.text.isEmpty())
                continue;
            const QRectF inside = item.rect.adjusted(Padding, Padding, -Padding, -Padding);
            if (item.cut) {
                painter.save();
                painter.setClipRect(inside);
            }
            const Qt::Alignment vertical = item.cut ? Qt::AlignTop : Qt::AlignVCenter;
            painter.drawText(inside, int(item.alignment | vertical | Qt::TextWordWrap), item.text);
            if (item.cut)
                painter.restore();
        } else {
            painter.drawText(item.rect, int(item.alignment | Qt::TextWordWrap), item.text);
        }
    }
    painter.restore();
}
