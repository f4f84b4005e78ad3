#include "platform/printdialogs.h"

#include "platform/messageboxes.h"
#include "platform/screenfit.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace {

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

bool PrintDialogs::print(QPrinter &printer, const Painter &paint, QWidget *parent)
{
    return sayWhereFileWent(showPrintDialog(printer, paint, parent), printer);
}

bool PrintDialogs::preview(QPrinter &printer, const Painter &paint, QWidget *parent)
{
    return sayWhereFileWent(showPreview(printer, paint, parent), printer);
}

bool PrintDialogs::sayWhereFileWent(bool printed, const QPrinter &printer)
{
    if (printed && printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        m_boxes.inform(tr("Le fichier PDF a été enregistré sous %1.")
                           .arg(QDir::toNativeSeparators(QFileInfo(printer.outputFileName()).absoluteFilePath())));
    return printed;
}

bool QtPrintDialogs::showPrintDialog(QPrinter &printer, const Painter &paint, QWidget *parent)
{
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    paint(printer);
    return true;
}

bool QtPrintDialogs::showPreview(QPrinter &printer, const Painter &paint, QWidget *parent)
{
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(QPrintPreviewDialog::tr("Aperçu avant impression"));
    // Qt's default size shows a page too small to read; most of the screen shows it whole.
    fitToScreen(dialog, availableRoom(dialog).size() * 0.85);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter *target) { paint(*target); });
    reachToolBarByKeyboard(dialog);
    return dialog.exec() == QDialog::Accepted;
}

bool ScriptedPrintDialogs::showPrintDialog(QPrinter &printer, const Painter &paint, QWidget *)
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

bool ScriptedPrintDialogs::showPreview(QPrinter &printer, const Painter &paint, QWidget *parent)
{
    return showPrintDialog(printer, paint, parent);
}
