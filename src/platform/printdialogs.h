#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

#include <functional>

class MessageBoxes;
class QPrinter;
class QWidget;

// The print dialog and the print preview. The program's windows print through this interface,
// so tests choose a PDF file instead of facing a real dialog. `paint` draws every page on the
// printer it is given, from the first page (the printer's page size and margins as chosen).
// Pages printed into a file are followed by a message that says where the file is: the dialog
// showed only a name, easily lost.
class PrintDialogs
{
    Q_DECLARE_TR_FUNCTIONS(PrintDialogs)

public:
    using Painter = std::function<void(QPrinter &printer)>;

    explicit PrintDialogs(MessageBoxes &boxes) : m_boxes(boxes) {}
    virtual ~PrintDialogs() = default;

    // The standard print dialog ("Imprimer dans un fichier" gives a PDF), then the pages;
    // false when the person cancelled.
    bool print(QPrinter &printer, const Painter &paint, QWidget *parent);
    // A preview window from which the pages can be printed; false when nothing was printed.
    bool preview(QPrinter &printer, const Painter &paint, QWidget *parent);

protected:
    virtual bool showPrintDialog(QPrinter &printer, const Painter &paint, QWidget *parent) = 0;
    virtual bool showPreview(QPrinter &printer, const Painter &paint, QWidget *parent) = 0;

private:
    bool sayWhereFileWent(bool printed, const QPrinter &printer);

    MessageBoxes &m_boxes;
};

// Qt's print dialog and print preview, French captions.
class QtPrintDialogs : public PrintDialogs
{
public:
    using PrintDialogs::PrintDialogs;

protected:
    bool showPrintDialog(QPrinter &printer, const Painter &paint, QWidget *parent) override;
    bool showPreview(QPrinter &printer, const Painter &paint, QWidget *parent) override;
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
    bool showPrintDialog(QPrinter &printer, const Painter &paint, QWidget *parent) override;
    bool showPreview(QPrinter &printer, const Painter &paint, QWidget *parent) override;

private:
    QList<QString> m_answers;
    int m_shown = 0;
};
