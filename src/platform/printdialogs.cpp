#include "platform/printdialogs.h"

#include "platform/messageboxes.h"
#include "platform/systemprinting.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPdfWriter>

namespace {

// PDF files at the resolution Qt's printer gives them in high resolution.
constexpr int PdfDotsPerInch = 1200;

class PdfFileTarget : public PrintTarget
{
public:
    PdfFileTarget(const PrintJob &job, const QString &path) : m_writer(path), m_path(path)
    {
        m_writer.setResolution(PdfDotsPerInch);
        m_writer.setTitle(job.documentName);
        QPageLayout layout(job.pageSize, QPageLayout::Portrait, job.marginsMillimetres.value_or(QMarginsF()),
                           QPageLayout::Millimeter);
        layout.setMode(job.fullPage ? QPageLayout::FullPageMode : QPageLayout::StandardMode);
        m_writer.setPageLayout(layout);
    }

    QPagedPaintDevice &device() override { return m_writer; }
    void abort() override {}
    QString pdfFile() const override { return m_path; }

private:
    QPdfWriter m_writer;
    QString m_path;
};

} // namespace

bool PrintDialogs::print(const PrintJob &job, const Painter &paint, QWidget *parent)
{
    return sayWhereFileWent(showPrintDialog(job, paint, parent));
}

bool PrintDialogs::preview(const PrintJob &job, const Painter &paint, QWidget *parent)
{
    return sayWhereFileWent(showPreview(job, paint, parent));
}

bool PrintDialogs::sayWhereFileWent(const PrintOutcome &outcome)
{
    if (outcome.printed && !outcome.pdfFile.isEmpty())
        m_boxes.inform(tr("Le fichier PDF a été enregistré sous %1.")
                           .arg(QDir::toNativeSeparators(QFileInfo(outcome.pdfFile).absoluteFilePath())));
    return outcome.printed;
}

PrintOutcome QtPrintDialogs::showPrintDialog(const PrintJob &job, const Painter &paint, QWidget *parent)
{
    return loadSystemPrinting().print(job, paint, parent);
}

PrintOutcome QtPrintDialogs::showPreview(const PrintJob &job, const Painter &paint, QWidget *parent)
{
    return loadSystemPrinting().preview(job, paint, parent);
}

PrintOutcome ScriptedPrintDialogs::showPrintDialog(const PrintJob &job, const Painter &paint, QWidget *)
{
    ++m_shown;
    const QString path = m_answers.isEmpty() ? QString() : m_answers.takeFirst();
    if (path.isEmpty())
        return {};
    {
        PdfFileTarget target(job, path);
        paint(target);
    }
    return {true, path};
}

PrintOutcome ScriptedPrintDialogs::showPreview(const PrintJob &job, const Painter &paint, QWidget *parent)
{
    return showPrintDialog(job, paint, parent);
}
