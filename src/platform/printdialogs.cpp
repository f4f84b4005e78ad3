#include "platform/printdialogs.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {

class QtPrintDialogs : public PrintDialogs
{
public:
    bool print(QPrinter &printer, const Painter &paint, QWidget *parent) override
    {
        QPrintDialog dialog(&printer, parent);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        paint(printer);
        return true;
    }

    bool preview(QPrinter &printer, const Painter &paint, QWidget *parent) override
    {
        QPrintPreviewDialog dialog(&printer, parent);
        dialog.setWindowTitle(QPrintPreviewDialog::tr("Aperçu avant impression"));
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                         [&paint](QPrinter *target) { paint(*target); });
        return dialog.exec() == QDialog::Accepted;
    }
};

} // namespace

PrintDialogs &PrintDialogs::standard()
{
    static QtPrintDialogs dialogs;
    return dialogs;
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
