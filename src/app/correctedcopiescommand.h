#pragma once

#include <QCoreApplication>
#include <QStringList>

class QWidget;
struct Services;

// "Imprimer les copies corrigées...": the results of the open questionnaire, found as the
// statistics find them; one corrected copy per pupil (the copy the marks export takes by
// default), each on pages of its own, printed or saved as PDF through the print dialog.
//
// Failures throw AppError with a French message.
class CorrectedCopiesCommand
{
    Q_DECLARE_TR_FUNCTIONS(CorrectedCopiesCommand)

public:
    static void run(const QString &fileName, const QStringList &document, Services &services, QWidget *parent);
};
