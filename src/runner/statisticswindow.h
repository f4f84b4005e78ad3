#pragma once

#include "runner/resultsstatistics.h"

#include <QDialog>

struct Services;
class QChartView;
class QPushButton;
class QTableWidget;

// "Statistiques des résultats": per question how many answered, the share right and how many
// chose each answer, with a bar chart of the share right so the questions the class missed
// stand out; per pupil the score. "Imprimer..." prints the tables.
class StatisticsWindow : public QDialog
{
    Q_OBJECT

public:
    StatisticsWindow(const QString &resultsFile, const ResultsStatistics &statistics, Services &services,
                     QWidget *parent = nullptr);

    QTableWidget *QuestionGrid = nullptr;
    QTableWidget *PupilGrid = nullptr;
    QChartView *Chart = nullptr;
    QPushButton *PrintButton = nullptr;

private:
    void print();

    void createQuestionGrid(const ResultsStatistics &statistics);
    void createPupilGrid(const ResultsStatistics &statistics);
    void createChart(const ResultsStatistics &statistics);

    QString m_resultsFile;
    ResultsStatistics m_statistics;
    Services &m_services;
};
