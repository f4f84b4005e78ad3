#include "pictures/bitmappicture.h"

#include "platform/apperror.h"

#include <QCoreApplication>
#include <QMimeData>
#include <QPainter>

void BitmapPicture::loadFromData(const QByteArray &bytes)
{
    readImage(bytes, "bmp", QCoreApplication::translate("BitmapPicture", "Image bitmap incorrecte"));
}

void BitmapPicture::setSize(int width, int height)
{
    if (width <= 0 || height <= 0) {
        m_image = QImage();
    } else {
        QImage resized(width, height, QImage::Format_RGB32);
        if (resized.isNull())
            throw std::bad_alloc();
        resized.fill(Qt::white);
        QPainter painter(&resized);
        painter.drawImage(0, 0, m_image);
        painter.end();
        m_image = std::move(resized);
    }
    Q_EMIT changed();
}

void BitmapPicture::draw(QPainter &painter, const QRectF &target)
{
    if (!m_image.isNull())
        painter.drawImage(target, m_image);
}

QMimeData *BitmapPicture::toMimeData()
{
    auto *data = new QMimeData;
    data->setImageData(m_image);
    return data;
}
