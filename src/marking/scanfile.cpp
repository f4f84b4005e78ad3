#include "marking/scanfile.h"

#include "marking/scanreading.h"
#include "marking/scanreadingmodule.h"
#include "platform/apperror.h"

#include <QFileInfo>

ScanFile::ScanFile(const QString &path) : m_path(path)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        throw AppError(tr("Le fichier « %1 » est introuvable.").arg(info.fileName()));
    if (!info.isReadable())
        throw AppError(tr("Le fichier « %1 » ne peut pas être lu.").arg(info.fileName()));
    ScanReading::OpenProblem problem = ScanReading::OpenProblem::None;
    m_pages = loadScanReading().open(path, &problem);
    if (m_pages)
        return;
    if (problem == ScanReading::OpenProblem::BrokenPdf)
        throw AppError(tr("Le fichier « %1 » n'est pas un PDF lisible (abîmé ou protégé par un mot de passe).")
                           .arg(info.fileName()));
    throw AppError(tr("Le fichier « %1 » n'est ni un PDF ni une image (PNG, JPEG, TIFF).").arg(info.fileName()));
}

ScanFile::~ScanFile() = default;

int ScanFile::pageCount() const
{
    return m_pages->pageCount();
}

QImage ScanFile::page(int index, double dpi) const
{
    const QString name = QFileInfo(m_path).fileName();
    if (index < 0 || index >= pageCount())
        throw AppError(tr("Le fichier « %1 » n'a pas de page %2.").arg(name).arg(index + 1));
    const QImage image = m_pages->page(index, dpi);
    if (image.isNull())
        throw AppError(tr("La page %1 du fichier « %2 » ne peut pas être lue.").arg(index + 1).arg(name));
    return image;
}

QString ScanFile::filter()
{
    return tr("Copies scannées (*.pdf *.png *.jpg *.jpeg *.tif *.tiff)|*.pdf;*.png;*.jpg;*.jpeg;*.tif;*.tiff|"
              "Tous les fichiers (*)|*");
}
