#pragma once

#include <QCoreApplication>
#include <QStringList>

class MessageBoxes;
class QWidget;

// "Statistiques des résultats...": finds the results file of the open questionnaire whose
// questions are its questions, reads it and shows the statistics window.
class ResultsStatisticsCommand
{
    Q_DECLARE_TR_FUNCTIONS(ResultsStatisticsCommand)

public:
    static void show(const QString &fileName, const QStringList &document, MessageBoxes &boxes, QWidget *parent);
};
