#pragma once

#include "runner/runsession.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>

// The results of one run as a printed page: the questionnaire's name, the pupil's, the date,
// the total, then the table of the results window. Rich text for QTextDocument, which
// paginates it and repeats the table's header on every page.
class ResultsReport
{
    Q_DECLARE_TR_FUNCTIONS(ResultsReport)

public:
    static QString html(const QString &questionnaire, const QString &pupil, const QDateTime &when,
                        const RunResults &results);
};
