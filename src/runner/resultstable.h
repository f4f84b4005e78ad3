#pragma once

#include "runner/runsession.h"

#include <QAbstractTableModel>

// The results grid's contents: one row per question (title, answer given, right answer, "*"
// when both agree), an empty row, then "Nombre de bonnes réponses" and the count. The header
// row ("Question", "Réponse", "Solution") and the row-number column are the view's headers, so
// they stay in sight however far the grid scrolls. Read-only.
class ResultsTable : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { TitleColumn, AnswerColumn, SolutionColumn, MarkColumn, ColumnCount };

    explicit ResultsTable(QObject *parent = nullptr);

    // Replaces every row; an empty RunResults empties the grid below its header.
    void setResults(RunResults results);
    void clear();
    const RunResults &results() const { return m_results; }

    // The text of a cell of the grid as the person sees it, headers included: column 0 holds
    // the question numbers, row 0 the column captions.
    QString cellText(int column, int row) const;
    // The whole grid as text, one line per row and a tab between cells: what Ctrl+C copies
    // for a spreadsheet or a mark book.
    QString toText() const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QString text(int row, int column) const;
    QString rowNumber(int row) const;

    RunResults m_results;
    bool m_filled = false; // a scored run, even of no question, shows its total
};
