#pragma once

#include <QCoreApplication>
#include <QImage>
#include <QString>

#include <memory>

class ScanPages;

// A file of scanned pages as copiers and scanners make them: a PDF (each page drawn by
// Poppler) or a picture (PNG, JPEG, TIFF with one page or several). Pages are given one at a
// time, so a pile of sixty pages never sits in memory at once.
class ScanFile
{
    Q_DECLARE_TR_FUNCTIONS(ScanFile)

public:
    // What a page is drawn at: the reading's own working resolution, so nothing is drawn for
    // nothing.
    static constexpr double Dpi = 200;

    // Throws AppError, in French, when the file cannot be read or is of no kind known here, or
    // when the scan reader's module is missing (see loadScanReading).
    explicit ScanFile(const QString &path);
    ~ScanFile();

    const QString &path() const { return m_path; }
    int pageCount() const;
    // Page `index` (from 0); `dpi` for a PDF. Throws AppError when that page cannot be read.
    QImage page(int index, double dpi = Dpi) const;

    // "PDF ou images (*.pdf *.png ...)": for the file dialog.
    static QString filter();

private:
    QString m_path;
    std::unique_ptr<ScanPages> m_pages;
};
