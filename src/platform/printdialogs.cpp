#include "platform/printdialogs.h"

#include <QGuiApplication>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>

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
    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect room = screen->availableGeometry();
        dialog.resize(room.size() * 0.85);
        dialog.move(room.center() - dialog.rect().center());
    }
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
