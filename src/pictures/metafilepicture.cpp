#include "pictures/metafilepicture.h"

#include "platform/apperror.h"

#include <QCoreApplication>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QSvgRenderer>

MetafilePicture::MetafilePicture(MetafileConversion convert) : m_convert(std::move(convert)) {}

MetafilePicture::~MetafilePicture() = default;

void MetafilePicture::loadFromData(const QByteArray &bytes)
{
    const auto invalid = [] {
        return AppError(QCoreApplication::translate("MetafilePicture", "MetaFichier incorrect"));
    };
    MetafileHeader header;
    if (readMetafileHeader(bytes, header) != MetafileError::None)
        throw invalid();
    QByteArray svg;
    if (!m_convert || m_convert(bytes, svg) != MetafileError::None)
        throw invalid();
    auto renderer = std::make_unique<QSvgRenderer>(svg);
    if (!renderer->isValid())
        throw invalid();
    m_size = header.size;
    m_svg = std::move(svg);
    m_renderer = std::move(renderer);
}

void MetafilePicture::setSize(int width, int height)
{
    m_size = QSize(std::max(width, 0), std::max(height, 0));
    Q_EMIT changed();
}

void MetafilePicture::draw(QPainter &painter, const QRectF &target)
{
    if (m_renderer && !isEmpty())
        m_renderer->render(&painter, target);
}

QMimeData *MetafilePicture::toMimeData()
{
    auto *data = new QMimeData;
    data->setData(QStringLiteral("image/svg+xml"), m_svg);
    if (!isEmpty()) {
        QImage image(m_size, QImage::Format_ARGB32_Premultiplied);
        if (!image.isNull()) {
            image.fill(Qt::white);
            QPainter painter(&image);
            draw(painter, QRectF(QPointF(0, 0), QSizeF(m_size)));
            painter.end();
            data->setImageData(image);
        }
    }
    return data;
}
