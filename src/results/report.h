#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <variant>
#include <vector>

// A line of a printed report: a heading, a subheading or a paragraph; or the start of a section
// (one pupil's corrected copy among the class's), which begins a new page and numbers its pages
// on their own, its text at their foot, so that each copy handed back is whole.
struct ReportText
{
    enum Style { Heading, Subheading, Plain, Bold, Section };
    Style style = Plain;
    QString text;
};

// A table of a printed report, its header row repeated at the top of every page it spans.
struct ReportTable
{
    struct Column
    {
        QString caption;
        int weight = 1;      // its share of the page's width against the other columns'
        bool number = false; // numbers line up on the right, as in the windows
    };
    struct Row
    {
        QStringList cells;
        QList<int> emphasised{}; // the columns printed in bold
    };

    std::vector<Column> columns;
    std::vector<Row> rows;
};

// A printed report (the results of a run, the statistics of a class): its parts from the top of
// the first page. ReportPages lays it out on pages and draws them.
struct Report
{
    using Part = std::variant<ReportText, ReportTable>;
    std::vector<Part> parts;

    void add(ReportText::Style style, const QString &text) { parts.emplace_back(ReportText{style, text}); }
    void add(ReportTable table) { parts.emplace_back(std::move(table)); }

    // The rows of all its tables: what makes a report long.
    int tableRows() const
    {
        int rows = 0;
        for (const Part &part : parts) {
            if (const auto *table = std::get_if<ReportTable>(&part))
                rows += int(table->rows.size());
        }
        return rows;
    }
};
