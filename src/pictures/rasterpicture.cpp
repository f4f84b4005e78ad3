#include "pictures/rasterpicture.h"

#include "platform/apperror.h"

#include <QBuffer>
#include <QImageReader>

void RasterPicture::readImage(const QByteArray &bytes, const char *format, const QString &failureText)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    // The format is forced: the extension chose the kind, the content must match it.
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    QImage image = reader.read();
    if (image.isNull())
        throw AppError(failureText);
    m_image = std::move(image);
}
