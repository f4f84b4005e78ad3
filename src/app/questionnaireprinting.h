#pragma once

#include <QCoreApplication>
#include <QStringList>

class MessageBoxes;
class PictureRegistry;
class PrintDialogs;
class QWidget;

// "Imprimer le questionnaire...": asks whether the answer key goes on a last page, then shows
// the paper test in the print preview, from which it is printed or saved as PDF.
class QuestionnairePrinting
{
    Q_DECLARE_TR_FUNCTIONS(QuestionnairePrinting)

public:
    static void print(const QString &fileName, const QStringList &document, MessageBoxes &boxes,
                      PrintDialogs &printDialogs, const PictureRegistry &pictures, QWidget *parent);
};
