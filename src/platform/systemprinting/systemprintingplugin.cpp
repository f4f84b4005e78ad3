#include "platform/systemprinting/systemprintingplugin.h"

#include "platform/screenfit.h"

#include <QAction>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace {

// The printer a job asks for, as the dialogs then show it.
void setUp(QPrinter &printer, const PrintJob &job)
{
    printer.setDocName(job.documentName);
    printer.setFullPage(job.fullPage);
    printer.setPageSize(job.pageSize);
    if (job.marginsMillimetres)
        printer.setPageMargins(*job.marginsMillimetres, QPageLayout::Millimeter);
    if (!job.pdfFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(job.pdfFile);
    }
}

class PrinterTarget : public PrintTarget
{
public:
    explicit PrinterTarget(QPrinter &printer) : m_printer(printer) {}

    QPagedPaintDevice &device() override { return m_printer; }
    void abort() override { m_printer.abort(); }
    QString pdfFile() const override
    {
        return m_printer.outputFormat() == QPrinter::PdfFormat ? m_printer.outputFileName() : QString();
    }

private:
    QPrinter &m_printer;
};

PrintOutcome outcome(bool printed, const QPrinter &printer)
{
    if (!printed)
        return {};
    const bool pdf = printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
    return {true, pdf ? QFileInfo(printer.outputFileName()).absoluteFilePath() : QString()};
}

// Enter presses a tool button that has the focus, as it presses a push button.
class EnterPressesButton : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        static_cast<QToolButton *>(watched)->click();
        return true;
    }
};

// Qt keeps the preview's tool bar out of the Tab chain: without a mouse nothing could be printed.
// Every button joins the chain (Space and Enter press it). Printing comes first, on the bar and
// after the page in the chain, so a narrow window never hides it beyond the bar's end.
void reachToolBarByKeyboard(QPrintPreviewDialog &dialog)
{
    auto *bar = dialog.findChild<QToolBar *>();
    auto *page = dialog.findChild<QPrintPreviewWidget *>();
    if (!bar || !page)
        return;
    const QString printText = QCoreApplication::translate("QPrintPreviewDialog", "Print");
    const QList<QAction *> actions = bar->actions();
    const auto print = std::find_if(actions.begin(), actions.end(),
                                    [&printText](const QAction *action) { return action->text() == printText; });
    if (print == actions.end() || actions.isEmpty())
        return;
    if (print != actions.begin()) {
        bar->removeAction(*print);
        bar->insertAction(actions.first(), *print);
        bar->insertSeparator(actions.first());
    }
    auto *enter = new EnterPressesButton(&dialog);
    for (QAction *action : bar->actions()) {
        if (auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(action))) {
            button->setFocusPolicy(Qt::TabFocus);
            button->installEventFilter(enter);
        }
    }
    QWidget *pageEnd = nullptr;
    for (QWidget *next = page->nextInFocusChain(); page->isAncestorOf(next); next = next->nextInFocusChain()) {
        if (next->focusPolicy() & Qt::TabFocus)
            pageEnd = next;
    }
    if (pageEnd)
        QWidget::setTabOrder(pageEnd, bar->widgetForAction(*print));
}

} // namespace

PrintOutcome SystemPrintingPlugin::print(const PrintJob &job, const PrintDialogs::Painter &paint, QWidget *parent) const
{
    QPrinter printer(QPrinter::HighResolution);
    setUp(printer, job);
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    PrinterTarget target(printer);
    paint(target);
    return outcome(true, printer);
}

PrintOutcome SystemPrintingPlugin::preview(const PrintJob &job, const PrintDialogs::Painter &paint, QWidget *parent) const
{
    QPrinter printer(QPrinter::HighResolution);
    setUp(printer, job);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(QPrintPreviewDialog::tr("Aperçu avant impression"));
    // Qt's default size shows a page too small to read; most of the screen shows it whole.
    fitToScreen(dialog, availableRoom(dialog).size() * 0.85);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&paint](QPrinter *target) {
        PrinterTarget drawn(*target);
        paint(drawn);
    });
    reachToolBarByKeyboard(dialog);
    return outcome(dialog.exec() == QDialog::Accepted, printer);
}
