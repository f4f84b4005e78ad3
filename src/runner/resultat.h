#pragma once

#include "results/resultsfile.h"
#include "runner/runsession.h"

#include <QDialog>

#include <functional>

class QPushButton;
class QTableView;
class ResultsTable;
struct Services;

// The results of a run: one row per question with its number, title, the answer given, the
// right answer and "*" when both agree, then the number of right answers. Shown modally over
// the runner, as often as asked; nothing in it is editable.
class TResultat : public QDialog
{
    Q_OBJECT

public:
    static constexpr int DesignWidth = 536;
    static constexpr int DesignHeight = 343;

    explicit TResultat(Services &services, QWidget *parent = nullptr);

    // The open questionnaire's file (empty when never saved): the results are kept beside it.
    void setQuestionnaireFile(std::function<QString()> currentFileName);

    // Fills the grid and shows the window modally; returns when it is closed.
    void showResults(RunResults results);
    // Every cell below the header row emptied, for a new run.
    void clear();

    const ResultsTable &table() const { return *m_table; }
    // The text of a cell as shown, headers included (column 0 the numbers, row 0 the captions).
    QString cellText(int column, int row) const;

    QPushButton *Button1 = nullptr;   // "Fermer"
    QPushButton *Button2 = nullptr;   // "&Enregistrer...": keeps the run in the results file
    QPushButton *Button3 = nullptr;   // "&Imprimer..."
    QTableView *StringGrid1 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private Q_SLOTS:
    void Button1Click();
    void copyToClipboard();
    void Button2Click();
    void Button3Click();

private:
    void createButtons();
    void createGrid();
    void attachTable();
    void FormShow();
    QString questionnaireFile() const;
    // The pupil's name from its dialog; false when cancelled.
    bool askPupil(QString *resultsPath);
    // Keeps the run in the file at `path`; when another writer holds the file, or the place
    // cannot be written, asks whether to try again or to choose another place.
    void keepRun(QString path);
    ResultsFile::Saved appendRepainting(const QString &path, const KeptRun &run);

    Services &m_services;
    std::function<QString()> m_currentFileName;
    ResultsTable *m_table = nullptr;
    // Kept between showings: the next pupil's results usually go to the same folder, and a
    // place chosen instead of a read-only one is not asked for again.
    QString m_lastFolder;
    QString m_pupil;
};
