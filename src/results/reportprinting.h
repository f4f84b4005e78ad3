#pragma once

#include "results/report.h"

#include <QCoreApplication>
#include <QString>

class PrintDialogs;
class QWidget;

// A report printed on A4 through the print dialog. A long one shows its progress while it is
// laid out and drawn, page by page, and "Annuler" there stops it (nothing is printed).
class ReportPrinting
{
    Q_DECLARE_TR_FUNCTIONS(ReportPrinting)

public:
    // Reports of this many table rows or more show their progress at once; shorter ones only
    // when they take longer than half a second.
    static constexpr int LongReportRows = 2000;

    // False when the person cancelled the print dialog or the printing.
    static bool print(PrintDialogs &dialogs, const QString &documentName, const Report &report, QWidget *parent);
};
