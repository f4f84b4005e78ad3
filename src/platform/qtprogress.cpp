#include "platform/qtprogress.h"

#include "platform/dialogparent.h"

#include <QApplication>
#include <QProgressDialog>

#include <algorithm>

namespace {

// A task shorter than this shows no dialog.
constexpr int ShowAfterMs = 400;
// How often a shown dialog is redrawn and its "Annuler" looked at: often enough to feel alive,
// rarely enough to cost nothing next to the task.
constexpr int UpdateEveryMs = 50;
// The bar's scale: QProgressDialog counts in int, a task may count bytes.
constexpr int Scale = 1000;

} // namespace

QtProgress::QtProgress(QWidget *parent) : m_parent(parent) {}

QtProgress::~QtProgress() = default;

void QtProgress::begin(const QString &label, qint64 total)
{
    if (!m_dialog) {
        m_dialog = std::make_unique<QProgressDialog>(dialogParent(m_parent));
        m_dialog->setObjectName(QStringLiteral("ProgressDialog"));
        m_dialog->setWindowTitle(QApplication::applicationDisplayName());
        m_dialog->setCancelButtonText(QApplication::tr("Annuler"));
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(ShowAfterMs);
        m_dialog->setAutoReset(false);
        m_dialog->setAutoClose(false);
        m_dialog->setRange(0, Scale);
        m_dialog->setMinimumWidth(360);
        m_sinceUpdate.start();
        // The first value starts the dialog's clock.
        m_dialog->setValue(0);
    } else if (m_dialog->isVisible()) {
        // A later stage starts its bar again; before the dialog shows, that would restart the
        // clock that decides when to show it.
        m_dialog->setValue(0);
    }
    m_dialog->setLabelText(label);
    m_total = std::max<qint64>(total, 1);
}

bool QtProgress::advance(qint64 done)
{
    if (!m_dialog)
        return true;
    if (m_sinceUpdate.elapsed() >= UpdateEveryMs) {
        m_sinceUpdate.restart();
        const qint64 clamped = std::clamp<qint64>(done, 0, m_total);
        // Shows the dialog once the task has lasted long enough, and runs the events while it is shown.
        m_dialog->setValue(int(clamped * Scale / m_total));
        // A value that did not change runs no events: the dialog must still answer.
        if (m_dialog->isVisible())
            QApplication::processEvents();
    }
    return !m_dialog->wasCanceled();
}

void QtProgress::end()
{
    m_dialog.reset();
}
