#include "pictures/jpegpicture.h"

#include "pictures/pictureregistry.h"
#include "platform/apperror.h"

#include <QCoreApplication>
#include <QMimeData>
#include <QPainter>

namespace {
constexpr int MaximumPaletteDepth = 8; // 256 colours
}

JpegPicture::JpegPicture(int screenDepth)
{
    m_options.quantise = screenDepth <= MaximumPaletteDepth;
}

QString JpegPicture::failureText(const JpegStatus &status) const
{
    return QCoreApplication::translate("JpegPicture", "Erreur JPEG #%1").arg(status.messageCode);
}

void JpegPicture::loadFromData(const QByteArray &bytes)
{
    JpegHeader header;
    const JpegStatus status = readJpegHeader(bytes, header);
    if (!status.ok())
        throw AppError(failureText(status));
    m_header = header;
    m_bytes = bytes;
    m_image = QImage();
    m_failure.clear();
}

void JpegPicture::setSize(int, int)
{
    throw AppError(QCoreApplication::translate("JpegPicture", "Ne peut modifier la taille d'une image JPEG"));
}

bool JpegPicture::needsPreparation() const
{
    return m_image.isNull() && m_failure.isEmpty() && !m_bytes.isEmpty();
}

void JpegPicture::prepare()
{
    if (!needsPreparation())
        return;
    ++m_decodeCount;
    const JpegStatus status = decodeJpeg(m_bytes, m_options, m_image);
    if (!status.ok()) {
        m_failure = failureText(status);
        throw AppError(m_failure);
    }
    // The compressed bytes are no longer needed once the bitmap exists.
    m_bytes = QByteArray();
}

QImage JpegPicture::decodedToCover(const QSize &size) const
{
    if (m_bytes.isEmpty())
        return m_image;
    JpegDecodeOptions options;
    options.atLeast = size;
    QImage image;
    const JpegStatus status = decodeJpeg(m_bytes, options, image);
    if (!status.ok())
        throw AppError(failureText(status));
    return image;
}

void JpegPicture::draw(QPainter &painter, const QRectF &target)
{
    if (!m_image.isNull())
        painter.drawImage(target, m_image);
}

QMimeData *JpegPicture::toMimeData()
{
    prepare();
    if (!m_failure.isEmpty())
        throw AppError(m_failure);
    auto *data = new QMimeData;
    data->setImageData(m_image);
    return data;
}

void registerJpegFormats(PictureRegistry &registry, int screenDepth)
{
    const QString description = QCoreApplication::translate("JpegPicture", "JPEG Image File");
    const auto create = [screenDepth] { return std::unique_ptr<Picture>(new JpegPicture(screenDepth)); };
    registry.registerFormat(QStringLiteral("jpeg"), description, PictureKind::Jpeg, create);
    registry.registerFormat(QStringLiteral("jpg"), description, PictureKind::Jpeg, create);
}
