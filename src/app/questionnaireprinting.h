#pragma once

#include <QCoreApplication>
#include <QStringList>

class QWidget;
struct Services;

// "Imprimer le questionnaire...": asks whether the answer key goes on a last page, then shows
// the paper test in the print preview, from which it is printed or saved as PDF. Pictures that
// cannot be printed are named in a warning.
class QuestionnairePrinting
{
    Q_DECLARE_TR_FUNCTIONS(QuestionnairePrinting)

public:
    static void print(const QString &fileName, const QStringList &document, Services &services, QWidget *parent);
};
