#include "marking/reading/scanpagesfile.h"

#include "marking/reading/pagepicturefile.h"

#include <QFile>
#include <QImageReader>

#include <poppler-qt6.h>

#include <algorithm>

namespace {

constexpr char PdfMagic[] = "%PDF-";
// A page is drawn no larger than A4 at this many pixels along its longer side: a poster-sized
// page in a PDF is drawn smaller rather than filling the memory.
constexpr double LongestSideInches = 11.7 * 1.2;
// A picture is decoded near the wanted resolution for a page of A4's longer side.
constexpr double A4LongSideInches = 11.7;
constexpr int MaximumPixels = 12000;

bool isPdf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return file.read(sizeof PdfMagic - 1) == QByteArray(PdfMagic);
}

} // namespace

ScanPagesFile::ScanPagesFile(const QString &path) : m_path(path)
{
}

ScanPagesFile::~ScanPagesFile() = default;

std::unique_ptr<ScanPagesFile> ScanPagesFile::open(const QString &path, ScanReading::OpenProblem *problem)
{
    std::unique_ptr<ScanPagesFile> file(new ScanPagesFile(path));
    if (isPdf(path)) {
        file->m_pdf = Poppler::Document::load(path);
        if (!file->m_pdf || file->m_pdf->isLocked()) {
            *problem = ScanReading::OpenProblem::BrokenPdf;
            return nullptr;
        }
        file->m_pdf->setRenderHint(Poppler::Document::Antialiasing);
        file->m_pdf->setRenderHint(Poppler::Document::TextAntialiasing);
        file->m_pageCount = file->m_pdf->numPages();
        return file;
    }
    file->m_kind = PagePictureFile::kindOf(path);
    if (file->m_kind == PagePictureFile::Kind::Png) {
        file->m_pageCount = 1;
        return file;
    }
    if (file->m_kind == PagePictureFile::Kind::Tiff) {
        file->m_pageCount = PagePictureFile::tiffPageCount(path);
        if (file->m_pageCount > 0)
            return file;
        *problem = ScanReading::OpenProblem::NotPdfNorImage;
        return nullptr;
    }
    QImageReader reader(path);
    if (!reader.canRead()) {
        *problem = ScanReading::OpenProblem::NotPdfNorImage;
        return nullptr;
    }
    file->m_pageCount = std::max(1, reader.imageCount());
    return file;
}

QImage ScanPagesFile::page(int index, double dpi) const
{
    if (index < 0 || index >= m_pageCount)
        return {};
    if (m_pdf) {
        const std::unique_ptr<Poppler::Page> page = m_pdf->page(index);
        if (!page)
            return {};
        const QSizeF points = page->pageSizeF();
        const double longest = std::max(points.width(), points.height()) / 72.0;
        if (longest <= 0)
            return {};
        const double limit = std::min(MaximumPixels / longest, dpi * LongestSideInches / longest);
        const double resolution = std::min(dpi, limit);
        return page->renderToImage(resolution, resolution);
    }
    if (m_kind == PagePictureFile::Kind::Png)
        return PagePictureFile::readPng(m_path, dpi, A4LongSideInches);
    if (m_kind == PagePictureFile::Kind::Tiff)
        return PagePictureFile::readTiff(m_path, index, dpi, A4LongSideInches);
    QImageReader reader(m_path);
    if (index != 0 && !reader.jumpToImage(index))
        return {};
    // A fine scan is decoded straight to the reading's resolution (JPEG decodes it scaled): a
    // 600 dpi colour page then needs a ninth of the memory.
    const QSize size = reader.size();
    const double longest = std::max(size.width(), size.height());
    const double wanted = dpi * A4LongSideInches;
    if (longest > wanted * 1.15)
        reader.setScaledSize(size * (wanted / longest));
    return reader.read();
}
