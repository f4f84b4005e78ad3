#include "runner/resultstable.h"

ResultsTable::ResultsTable(QObject *parent) : QAbstractTableModel(parent)
{
}

void ResultsTable::setResults(RunResults results)
{
    beginResetModel();
    m_results = std::move(results);
    m_filled = true;
    endResetModel();
}

void ResultsTable::clear()
{
    beginResetModel();
    m_results = RunResults();
    m_filled = false;
    endResetModel();
}

int ResultsTable::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_filled)
        return 0;
    // The questions, one empty row, the total.
    return int(m_results.rows.size()) + 2;
}

int ResultsTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString ResultsTable::text(int row, int column) const
{
    const int questions = int(m_results.rows.size());
    if (row < 0 || row >= rowCount() || column < 0 || column >= ColumnCount)
        return {};
    if (row == questions + 1) {
        if (column == TitleColumn)
            return tr("Nombre de bonnes réponses");
        if (column == AnswerColumn)
            return QString::number(m_results.rightCount);
        return {};
    }
    if (row == questions)
        return {};
    const RunResultRow &result = m_results.rows[size_t(row)];
    switch (column) {
    case TitleColumn: return result.title;
    case AnswerColumn: return QString::number(result.answer);
    case SolutionColumn: return result.solution ? QString::number(*result.solution) : QString();
    case MarkColumn: return result.right ? QStringLiteral("*") : QString();
    default: return {};
    }
}

QString ResultsTable::rowNumber(int row) const
{
    if (row < 0 || row >= int(m_results.rows.size()))
        return {};
    return QString::number(row + 1);
}

QString ResultsTable::cellText(int column, int row) const
{
    if (row == 0)
        return column >= 1 ? headerData(column - 1, Qt::Horizontal).toString() : QString();
    if (column == 0)
        return rowNumber(row - 1);
    return text(row - 1, column - 1);
}

QString ResultsTable::toText() const
{
    QString text;
    for (int row = 0; row <= rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column <= ColumnCount; ++column)
            cells << cellText(column, row);
        text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}

QVariant ResultsTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && index.column() != TitleColumn)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

QVariant ResultsTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical)
        return rowNumber(section);
    switch (section) {
    case TitleColumn: return tr("Question");
    case AnswerColumn: return tr("Réponse");
    case SolutionColumn: return tr("Solution");
    default: return QString();
    }
}

Qt::ItemFlags ResultsTable::flags(const QModelIndex &index) const
{
    // Selectable so a row can be followed on the projector; never editable.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
