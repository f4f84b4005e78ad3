#pragma once

#include "runner/resultsstatistics.h"

#include <QDialog>

class QTableWidget;
class QChartView;

// "Statistiques des résultats": per question how many answered and the share right, with a bar
// chart of that share so the questions the class missed stand out; per pupil the score.
class StatisticsWindow : public QDialog
{
    Q_OBJECT

public:
    StatisticsWindow(const QString &resultsFile, const ResultsStatistics &statistics, QWidget *parent = nullptr);

    QTableWidget *QuestionGrid = nullptr;
    QTableWidget *PupilGrid = nullptr;
    QChartView *Chart = nullptr;

private:
    void createQuestionGrid(const ResultsStatistics &statistics);
    void createPupilGrid(const ResultsStatistics &statistics);
    void createChart(const ResultsStatistics &statistics);
};
