#include "marking/scanfile.h"

#include "platform/apperror.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <poppler-qt6.h>

#include <algorithm>

namespace {

constexpr char PdfMagic[] = "%PDF-";
// A page is drawn no larger than A4 at this many pixels along its longer side: a poster-sized
// page in a PDF is drawn smaller rather than filling the memory.
constexpr double LongestSideInches = 11.7 * 1.2;
constexpr int MaximumPixels = 12000;

bool isPdf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return file.read(sizeof PdfMagic - 1) == QByteArray(PdfMagic);
}

} // namespace

ScanFile::ScanFile(const QString &path) : m_path(path)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        throw AppError(tr("Le fichier « %1 » est introuvable.").arg(info.fileName()));
    if (!info.isReadable())
        throw AppError(tr("Le fichier « %1 » ne peut pas être lu.").arg(info.fileName()));
    if (isPdf(path)) {
        m_pdf = Poppler::Document::load(path);
        if (!m_pdf || m_pdf->isLocked())
            throw AppError(tr("Le fichier « %1 » n'est pas un PDF lisible (abîmé ou protégé par un mot de passe).")
                               .arg(info.fileName()));
        m_pdf->setRenderHint(Poppler::Document::Antialiasing);
        m_pdf->setRenderHint(Poppler::Document::TextAntialiasing);
        m_pageCount = m_pdf->numPages();
        return;
    }
    QImageReader reader(path);
    if (!reader.canRead())
        throw AppError(tr("Le fichier « %1 » n'est ni un PDF ni une image (PNG, JPEG, TIFF).").arg(info.fileName()));
    m_pageCount = std::max(1, reader.imageCount());
}

ScanFile::~ScanFile() = default;

QImage ScanFile::page(int index, double dpi) const
{
    const QString name = QFileInfo(m_path).fileName();
    if (index < 0 || index >= m_pageCount)
        throw AppError(tr("Le fichier « %1 » n'a pas de page %2.").arg(name).arg(index + 1));
    QImage image;
    if (m_pdf) {
        const std::unique_ptr<Poppler::Page> page = m_pdf->page(index);
        if (page) {
            const QSizeF points = page->pageSizeF();
            const double longest = std::max(points.width(), points.height()) / 72.0;
            if (longest > 0) {
                const double limit = std::min(MaximumPixels / longest, dpi * LongestSideInches / longest);
                const double resolution = std::min(dpi, limit);
                image = page->renderToImage(resolution, resolution);
            }
        }
    } else {
        QImageReader reader(m_path);
        if (index == 0 || reader.jumpToImage(index)) {
            // A fine scan is decoded straight to the reading's resolution (JPEG decodes it
            // scaled): a 600 dpi colour page then needs a ninth of the memory.
            const QSize size = reader.size();
            const double longest = std::max(size.width(), size.height());
            const double wanted = dpi * LongestSideInches / 1.2;
            if (longest > wanted * 1.15)
                reader.setScaledSize(size * (wanted / longest));
            image = reader.read();
        }
    }
    if (image.isNull())
        throw AppError(tr("La page %1 du fichier « %2 » ne peut pas être lue.").arg(index + 1).arg(name));
    return image;
}

QString ScanFile::filter()
{
    return tr("Copies scannées (*.pdf *.png *.jpg *.jpeg *.tif *.tiff)|*.pdf;*.png;*.jpg;*.jpeg;*.tif;*.tiff|"
              "Tous les fichiers (*)|*");
}
