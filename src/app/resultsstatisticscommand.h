#pragma once

#include "results/resultsstatistics.h"

#include <QCoreApplication>
#include <QStringList>

#include <optional>

class QWidget;
struct Services;

// "Statistiques des résultats...": finds the results file of the open questionnaire whose
// questions are its questions, reads it and shows the statistics window. Without one (results
// kept in a file chosen with "Autre fichier...", or a questionnaire not saved yet) it offers to
// open another results file, provided its questions are the questionnaire's.
//
// Failures throw AppError with a French message.
class ResultsStatisticsCommand
{
    Q_DECLARE_TR_FUNCTIONS(ResultsStatisticsCommand)

public:
    static void show(const QString &fileName, const QStringList &document, Services &services, QWidget *parent);

    // The runs kept for the questionnaire as it stands (the file it was found in, and what they
    // say), found as show() finds them; none when the person declines to open another file.
    struct ClassResults
    {
        QString path;
        ResultsStatistics statistics;
    };
    static std::optional<ClassResults> find(const QString &fileName, const QStringList &document, Services &services);
    // The questionnaire's name as a printed copy gives it: its file's, else the results file's.
    static QString questionnaireTitle(const QString &fileName, const QString &resultsPath);
};
