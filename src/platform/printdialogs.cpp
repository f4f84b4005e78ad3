#include "platform/printdialogs.h"

#include "platform/screenfit.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>

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
    // Qt's default size shows a page too small to read; most of the screen shows it whole.
    fitToScreen(dialog, availableRoom(dialog).size() * 0.85);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter *target) { paint(*target); });
    return dialog.exec() == QDialog::Accepted;
}

bool printRichText(PrintDialogs &dialogs, const QString &documentName, const QString &html, QWidget *parent)
{
    QTextDocument report;
    report.setHtml(html);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(documentName);
    return dialogs.print(printer, [&report](QPrinter &target) { report.print(&target); }, parent);
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
