#include "platform/printdialogs.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

bool QtPrintDialogs::print(QPrinter &printer, const Painter &paint, QWidget *parent)
{
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    paint(printer);
    return true;
}

bool QtPrintDialogs::preview(QPrinter &printer, const Painter &paint, QWidget *parent)
{
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(QPrintPreviewDialog::tr("Aperçu avant impression"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter *target) { paint(*target); });
    return dialog.exec() == QDialog::Accepted;
}

bool ScriptedPrintDialogs::print(QPrinter &printer, const Painter &paint, QWidget *)
{
    ++m_shown;
    const QString path = m_answers.isEmpty() ? QString() : m_answers.takeFirst();
    if (path.isEmpty())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    paint(printer);
    return true;
}

bool ScriptedPrintDialogs::preview(QPrinter &printer, const Painter &paint, QWidget *parent)
{
    return print(printer, paint, parent);
}
