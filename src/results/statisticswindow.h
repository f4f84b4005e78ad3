#pragma once

#include "results/resultsstatistics.h"
#include "results/statisticschartmodule.h"

#include <QDialog>

struct Services;
class QLabel;
class QPushButton;
class QTableWidget;

// "Statistiques des résultats": the class's marks summed up and their distribution as a chart;
// per question how many answered, the share right, its discrimination, "à revoir" with its
// reason, and how many chose each answer, with a bar chart of the share right so the questions
// the class missed stand out; per run the pupil, how the run was taken, the score and the mark.
// "Imprimer..." prints all of it; Ctrl+C copies the table shown, for a spreadsheet. The charts come from their own module
// (StatisticsChartModule); without it, a line says why and the tables stay.
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

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum QuestionColumn { DiscriminationColumn = 4, ReviewColumn = 5, FirstAnswerColumn = 6 };

    void print();
    void copyTable(const QTableWidget &grid);

    void createQuestionGrid(const ResultsStatistics &statistics);
    void createPupilGrid(const ResultsStatistics &statistics);
    QWidget *createCharts(const ResultsStatistics &statistics, const StatisticsChartModule &charts);
    QLabel *createNote(const QString &text, const QString &name);

    QString m_resultsFile;
    ResultsStatistics m_statistics;
    Services &m_services;
};
