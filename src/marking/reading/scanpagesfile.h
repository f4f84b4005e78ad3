#pragma once

#include "marking/reading/pagepicturefile.h"
#include "marking/scanreading.h"

namespace Poppler {
class Document;
}

// A scan file's pages, one at a time: a PDF's drawn by Poppler, a PNG or a TIFF (of one page or
// several) decoded a row at a time by PagePictureFile, any other picture (JPEG...) read by Qt.
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
    PagePictureFile::Kind m_kind = PagePictureFile::Kind::Other;
    int m_pageCount = 0;
};
