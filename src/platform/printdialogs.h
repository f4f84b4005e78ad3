#pragma once

#include <QCoreApplication>
#include <QList>
#include <QMarginsF>
#include <QPageSize>
#include <QString>

#include <functional>
#include <optional>

class MessageBoxes;
class QPagedPaintDevice;
class QWidget;

// What is to be printed; the printer itself is chosen in the dialog.
struct PrintJob
{
    QString documentName;
    QPageSize pageSize{QPageSize::A4};
    std::optional<QMarginsF> marginsMillimetres; // the printer's own margins when none
    bool fullPage = false;                       // the device's origin at the paper's corner
    QString pdfFile; // proposed in the dialog instead of the system's printer (tests, scripts)
};

// Where the pages of a job are drawn: the printer chosen, or a PDF file.
class PrintTarget
{
public:
    virtual ~PrintTarget() = default;
    virtual QPagedPaintDevice &device() = 0;
    // Nothing of the pages drawn so far goes to a printer. A PDF file cannot be taken back: its
    // writer removes it once its painter has ended.
    virtual void abort() = 0;
    // The PDF file the pages go into; empty for a printer.
    virtual QString pdfFile() const = 0;
};

struct PrintOutcome
{
    bool printed = false;
    QString pdfFile; // the PDF file printed into, when it was one
};

// The print dialog and the print preview. The program's windows print through this interface,
// so tests choose a PDF file instead of facing a real dialog. `paint` draws every page on the
// target it is given, from the first page (the printer's page size and margins as chosen).
// Pages printed into a file are followed by a message that says where the file is: the dialog
// showed only a name, easily lost.
class PrintDialogs
{
    Q_DECLARE_TR_FUNCTIONS(PrintDialogs)

public:
    using Painter = std::function<void(PrintTarget &target)>;

    explicit PrintDialogs(MessageBoxes &boxes) : m_boxes(boxes) {}
    virtual ~PrintDialogs() = default;

    // The standard print dialog ("Imprimer dans un fichier" gives a PDF), then the pages;
    // false when the person cancelled.
    bool print(const PrintJob &job, const Painter &paint, QWidget *parent);
    // A preview window from which the pages can be printed; false when nothing was printed.
    bool preview(const PrintJob &job, const Painter &paint, QWidget *parent);

protected:
    virtual PrintOutcome showPrintDialog(const PrintJob &job, const Painter &paint, QWidget *parent) = 0;
    virtual PrintOutcome showPreview(const PrintJob &job, const Painter &paint, QWidget *parent) = 0;

private:
    bool sayWhereFileWent(const PrintOutcome &outcome);

    MessageBoxes &m_boxes;
};

// Qt's print dialog and print preview, French captions. They live in the nelo-system-printing
// module (Qt Print Support), loaded at the first print: the program's start maps none of it.
// Throws AppError, in French, when the module is missing.
class QtPrintDialogs : public PrintDialogs
{
public:
    using PrintDialogs::PrintDialogs;

protected:
    PrintOutcome showPrintDialog(const PrintJob &job, const Painter &paint, QWidget *parent) override;
    PrintOutcome showPreview(const PrintJob &job, const Painter &paint, QWidget *parent) override;
};

// For tests: each dialog takes the next scripted PDF file name (an empty name cancels) and
// draws the pages into it; every dialog shown is counted.
class ScriptedPrintDialogs : public PrintDialogs
{
public:
    using PrintDialogs::PrintDialogs;

    void script(const QString &pdfPath) { m_answers.append(pdfPath); }
    int printed() const { return m_shown; }

protected:
    PrintOutcome showPrintDialog(const PrintJob &job, const Painter &paint, QWidget *parent) override;
    PrintOutcome showPreview(const PrintJob &job, const Painter &paint, QWidget *parent) override;

private:
    QList<QString> m_answers;
    int m_shown = 0;
};
