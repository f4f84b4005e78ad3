#include "runner/reportprinting.h"

#include "platform/printdialogs.h"
#include "runner/reportpages.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>

namespace {

constexpr int ShowProgressAfterMs = 500;

// Lays the report out and draws its pages on `printer`, telling `progress`. When the person
// stops it, what was drawn is thrown away, so no half report comes out of the printer: false.
bool printPages(const Report &report, QPrinter &printer, QProgressDialog &progress)
{
    const ReportPages pages = ReportPages::layOut(
        report, printer.pageLayout().paintRect(QPageLayout::Point).size(), [&progress](int done, int total) {
            progress.setMaximum(total);
            progress.setValue(done);
            return !progress.wasCanceled();
        });
    if (pages.pageCount() == 0)
        return false;
    QPainter painter(&printer);
    const bool drawn = pages.draw(painter, printer, [&progress](int done, int total) {
        progress.setLabelText(ReportPrinting::tr("Impression de la page %1 sur %2...").arg(std::min(done + 1, total)).arg(total));
        progress.setMaximum(total);
        progress.setValue(done);
        return !progress.wasCanceled();
    });
    if (drawn)
        return true;
    printer.abort();
    painter.end();
    // A PDF file cannot be aborted: the pages drawn so far would be left in it.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        QFile::remove(printer.outputFileName());
    return false;
}

} // namespace

bool ReportPrinting::print(PrintDialogs &dialogs, const QString &documentName, const Report &report, QWidget *parent)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    printer.setDocName(documentName);
    bool stopped = false;
    const bool accepted = dialogs.print(
        printer,
        [&](QPrinter &target) {
            QProgressDialog progress(tr("Mise en page..."), tr("Annuler"), 0, 0, parent);
            progress.setWindowTitle(tr("Impression"));
            progress.setWindowModality(Qt::WindowModal);
            progress.setAutoClose(false);
            progress.setAutoReset(false);
            progress.setMinimumDuration(report.tableRows() >= LongReportRows ? 0 : ShowProgressAfterMs);
            progress.setValue(0);
            stopped = !printPages(report, target, progress);
        },
        parent);
    return accepted && !stopped;
}
