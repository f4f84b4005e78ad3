#include "pictures/iconpicture.h"

#include "platform/apperror.h"

#include <QCoreApplication>
#include <QPainter>

void IconPicture::loadFromData(const QByteArray &bytes)
{
    readImage(bytes, "ico", QCoreApplication::translate("IconPicture", "Image icône incorrecte"));
}

void IconPicture::setSize(int, int)
{
    throw AppError(QCoreApplication::translate("IconPicture", "Ne peut modifier la taille d'une icône"));
}

void IconPicture::draw(QPainter &painter, const QRectF &target)
{
    if (!m_image.isNull())
        painter.drawImage(target.topLeft(), m_image);
}

QMimeData *IconPicture::toMimeData()
{
    throw AppError(QCoreApplication::translate("IconPicture",
                                               "Le Presse-papiers ne supporte pas les icônes"));
}
