#pragma once

#include "marking/scanreading.h"

namespace Poppler {
class Document;
}

// A scan file's pages: a PDF's drawn by Poppler, a picture's (PNG, JPEG, TIFF of one page or
// several) read by Qt, one page at a time.
class ScanPagesFile : public ScanPages
{
public:
    // nullptr, with *problem said, when the file is neither a readable PDF nor a picture.
    static std::unique_ptr<ScanPagesFile> open(const QString &path, ScanReading::OpenProblem *problem);
    ~ScanPagesFile() override;

    int pageCount() const override { return m_pageCount; }
    QImage page(int index, double dpi) const override;

private:
    explicit ScanPagesFile(const QString &path);

    QString m_path;
    std::unique_ptr<Poppler::Document> m_pdf;
    int m_pageCount = 0;
};
