#pragma once

#include "classroom/classquestionnaire.h"
#include "results/resultsstatistics.h"
#include "results/statisticschartmodule.h"

#include <QDialog>

#include <optional>

struct Services;
class QComboBox;
class QLabel;
class QPushButton;
class QSplitter;
class QTableWidget;

// "Statistiques des résultats": the class's marks summed up and their distribution as a chart;
// per question how many answered, the share right, its discrimination, "à revoir" with its
// reason, and how many chose each answer, with a bar chart of the share right so the questions
// the class missed stand out; per run the pupil, how the run was taken, the score and the mark.
// "Imprimer..." prints all of it; Ctrl+C copies the table shown, for a spreadsheet. The charts come from their own module
// (StatisticsChartModule); without it, a line says why and the tables stay. The class figures
// count one copy per pupil or every finished copy, as the teacher chooses ("Copies comptées");
// the copies left out are greyed in the pupils' table. Given the questionnaire, "Imprimer la
// copie corrigée..." prints the corrected copy of the pupil's run chosen in that table.
class StatisticsWindow : public QDialog
{
    Q_OBJECT

public:
    // The size the window asks for; a smaller screen gets a smaller window.
    static constexpr QSize WantedSize{960, 620};

    StatisticsWindow(const QString &resultsFile, const ResultsStatistics &statistics, Services &services,
                     const StatisticsChartModule &charts = StatisticsChartModule(), QWidget *parent = nullptr);

    QLabel *MarksSummary = nullptr;
    QLabel *ChangedMarks = nullptr; // hidden when every kept mark is what its answers are worth
    QTableWidget *QuestionGrid = nullptr;
    QTableWidget *PupilGrid = nullptr;
    QWidget *MarksChart = nullptr; // the distribution of marks, or the line saying why there is none
    QWidget *Chart = nullptr; // the share right per question; nullptr when MarksChart says why there is none
    QPushButton *PrintButton = nullptr;
    QComboBox *CountingBox = nullptr; // beside the tabs; its tooltip says how many copies count
    QPushButton *CorrectedCopyButton = nullptr; // hidden until the questionnaire is given

    // The questionnaire the runs answered, as it stands, and its name for the printed copy.
    void allowCorrectedCopies(const ClassQuestionnaire &questionnaire, const QString &title);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum QuestionColumn { ShareColumn = 3, FacilityColumn = 4, DiscriminationColumn = 5, ReviewColumn = 6, FirstAnswerColumn = 7 };

    void print();
    void printCorrectedCopy();
    void copyTable(const QTableWidget &grid);
    void countCopies(int choice);

    QWidget *createCountingChoice();
    void createQuestionGrid(const ResultsStatistics &statistics);
    void fillQuestionGrid(const ResultsStatistics &statistics);
    void createPupilGrid(const ResultsStatistics &statistics);
    void fillPupilGrid(const ResultsStatistics &statistics);
    QWidget *createCharts(const ResultsStatistics &statistics, const StatisticsChartModule &charts);
    QLabel *createNote(const QString &text, const QString &name);

    QString m_resultsFile;
    ResultsStatistics m_statistics;
    Services &m_services;
    StatisticsChartModule m_charts;
    QSplitter *m_split = nullptr;
    std::optional<ClassQuestionnaire> m_questionnaire;
    QString m_title;
};
