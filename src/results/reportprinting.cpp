#include "results/reportprinting.h"

#include "platform/printdialogs.h"
#include "results/reportpages.h"

#include <QFile>
#include <QPainter>
#include <QPagedPaintDevice>
#include <QProgressDialog>

namespace {

constexpr int ShowProgressAfterMs = 500;

// Lays the report out and draws its pages on `target`, telling `progress`. When the person
// stops it, what was drawn is thrown away, so no half report comes out of the printer: false.
bool printPages(const Report &report, PrintTarget &target, QProgressDialog &progress)
{
    QPagedPaintDevice &device = target.device();
    const ReportPages pages = ReportPages::layOut(
        report, device.pageLayout().paintRect(QPageLayout::Point).size(), [&progress](int done, int total) {
            progress.setMaximum(total);
            progress.setValue(done);
            return !progress.wasCanceled();
        });
    if (pages.pageCount() == 0)
        return false;
    QPainter painter(&device);
    const bool drawn = pages.draw(painter, device, [&progress](int done, int total) {
        progress.setLabelText(ReportPrinting::tr("Impression de la page %1 sur %2...").arg(std::min(done + 1, total)).arg(total));
        progress.setMaximum(total);
        progress.setValue(done);
        return !progress.wasCanceled();
    });
    if (drawn)
        return true;
    target.abort();
    painter.end();
    // A PDF file cannot be aborted: the pages drawn so far would be left in it.
    if (const QString pdf = target.pdfFile(); !pdf.isEmpty())
        QFile::remove(pdf);
    return false;
}

} // namespace

bool ReportPrinting::print(PrintDialogs &dialogs, const QString &documentName, const Report &report, QWidget *parent)
{
    PrintJob job;
    job.documentName = documentName;
    job.marginsMillimetres = QMarginsF(15, 15, 15, 15);
    bool stopped = false;
    const bool accepted = dialogs.print(
        job,
        [&](PrintTarget &target) {
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
