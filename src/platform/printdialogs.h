#pragma once

#include <QList>
#include <QString>

#include <functional>

class QPrinter;
class QWidget;

// The print dialog and the print preview. The program's windows print through this interface,
// so tests choose a PDF file instead of facing a real dialog. `paint` draws every page on the
// printer it is given, from the first page (the printer's page size and margins as chosen).
class PrintDialogs
{
public:
    using Painter = std::function<void(QPrinter &printer)>;

    virtual ~PrintDialogs() = default;

    // The standard print dialog ("Imprimer dans un fichier" gives a PDF), then the pages;
    // false when the person cancelled.
    virtual bool print(QPrinter &printer, const Painter &paint, QWidget *parent) = 0;
    // A preview window from which the pages can be printed; false when nothing was printed.
    virtual bool preview(QPrinter &printer, const Painter &paint, QWidget *parent) = 0;
};

// Qt's print dialog and print preview, French captions.
class QtPrintDialogs : public PrintDialogs
{
public:
    bool print(QPrinter &printer, const Painter &paint, QWidget *parent) override;
    bool preview(QPrinter &printer, const Painter &paint, QWidget *parent) override;
};

// For tests: each dialog takes the next scripted PDF file name (an empty name cancels) and
// draws the pages into it; every dialog shown is counted.
class ScriptedPrintDialogs : public PrintDialogs
{
public:
    void script(const QString &pdfPath) { m_answers.append(pdfPath); }
    int printed() const { return m_shown; }

    bool print(QPrinter &printer, const Painter &paint, QWidget *parent) override;
    bool preview(QPrinter &printer, const Painter &paint, QWidget *parent) override;

private:
    QList<QString> m_answers;
    int m_shown = 0;
};
