#pragma once

#include "runner/resultsstatistics.h"
#include "runner/statisticschartmodule.h"

#include <QDialog>

struct Services;
class QPushButton;
class QTableWidget;

// "Statistiques des résultats": per question how many answered, the share right and how many
// chose each answer, with a bar chart of the share right so the questions the class missed
// stand out; per pupil the score. "Imprimer..." prints the tables. The chart comes from its own
// module (StatisticsChartModule); without it, a line says why and the tables stay.
class StatisticsWindow : public QDialog
{
    Q_OBJECT

public:
    // The size the window asks for; a smaller screen gets a smaller window.
    static constexpr QSize WantedSize{960, 620};

    StatisticsWindow(const QString &resultsFile, const ResultsStatistics &statistics, Services &services,
                     const StatisticsChartModule &charts = StatisticsChartModule(), QWidget *parent = nullptr);

    QTableWidget *QuestionGrid = nullptr;
    QTableWidget *PupilGrid = nullptr;
    QWidget *Chart = nullptr; // the chart, or the line saying why there is none
    QPushButton *PrintButton = nullptr;

private:
    void print();

    void createQuestionGrid(const ResultsStatistics &statistics);
    void createPupilGrid(const ResultsStatistics &statistics);
    void createChart(const ResultsStatistics &statistics, const StatisticsChartModule &charts);

    QString m_resultsFile;
    ResultsStatistics m_statistics;
    Services &m_services;
};
