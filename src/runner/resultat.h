#pragma once

#include "runner/runsession.h"

#include <QDialog>

class QPushButton;
class QTableView;
class ResultsTable;

// The results of a run: one row per question with its number, title, the answer given, the
// right answer and "*" when both agree, then the number of right answers. Shown modally over
// the runner, as often as asked; nothing in it is editable.
class TResultat : public QDialog
{
    Q_OBJECT

public:
    static constexpr int DesignWidth = 536;
    static constexpr int DesignHeight = 343;

    explicit TResultat(QWidget *parent = nullptr);

    // Fills the grid and shows the window modally; returns when it is closed.
    void showResults(RunResults results);
    // Every cell below the header row emptied, for a new run.
    void clear();

    const ResultsTable &table() const { return *m_table; }
    // The text of a cell as shown, headers included (column 0 the numbers, row 0 the captions).
    QString cellText(int column, int row) const;

    QPushButton *Button1 = nullptr;   // "Fermer"
    QTableView *StringGrid1 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private Q_SLOTS:
    void Button1Click();
    void copyToClipboard();

private:
    void createGrid();
    void FormShow();

    ResultsTable *m_table = nullptr;
};
