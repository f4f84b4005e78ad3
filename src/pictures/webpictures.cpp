#include "pictures/webpictures.h"

#include "pictures/pictureregistry.h"
#include "platform/apperror.h"

#include <QCoreApplication>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QSvgRenderer>

WebRasterPicture::WebRasterPicture(const char *format, QString failureText)
    : m_format(format), m_failureText(std::move(failureText))
{
}

void WebRasterPicture::loadFromData(const QByteArray &bytes)
{
    readImage(bytes, m_format, m_failureText);
}

SvgPicture::SvgPicture() = default;

SvgPicture::~SvgPicture() = default;

void SvgPicture::loadFromData(const QByteArray &bytes)
{
    auto renderer = std::make_unique<QSvgRenderer>(bytes);
    const QSize size = renderer->defaultSize();
    if (!renderer->isValid() || size.isEmpty())
        throw AppError(QCoreApplication::translate("SvgPicture", "Image SVG incorrecte"));
    m_size = size;
    m_svg = bytes;
    m_renderer = std::move(renderer);
}

void SvgPicture::setSize(int width, int height)
{
    m_size = QSize(std::max(width, 0), std::max(height, 0));
    Q_EMIT changed();
}

void SvgPicture::draw(QPainter &painter, const QRectF &target)
{
    if (m_renderer && !isEmpty())
        m_renderer->render(&painter, target);
}

QMimeData *SvgPicture::toMimeData()
{
    auto *data = new QMimeData;
    data->setData(QStringLiteral("image/svg+xml"), m_svg);
    if (!isEmpty()) {
        QImage image(m_size, QImage::Format_ARGB32_Premultiplied);
        if (!image.isNull()) {
            image.fill(Qt::transparent);
            QPainter painter(&image);
            draw(painter, QRectF(QPointF(0, 0), QSizeF(m_size)));
            painter.end();
            data->setImageData(image);
        }
    }
    return data;
}

void registerWebFormats(PictureRegistry &registry)
{
    registry.registerFormat(QStringLiteral("png"), QCoreApplication::translate("PictureRegistry", "Image PNG"),
                            PictureKind::Png, [] {
                                return std::unique_ptr<Picture>(new WebRasterPicture(
                                    "png", QCoreApplication::translate("PictureRegistry", "Image PNG incorrecte")));
                            });
    registry.registerFormat(QStringLiteral("svg"), QCoreApplication::translate("PictureRegistry", "Image SVG"),
                            PictureKind::Svg, [] { return std::unique_ptr<Picture>(new SvgPicture); });
    registry.registerFormat(QStringLiteral("webp"), QCoreApplication::translate("PictureRegistry", "Image WebP"),
                            PictureKind::WebP, [] {
                                return std::unique_ptr<Picture>(new WebRasterPicture(
                                    "webp", QCoreApplication::translate("PictureRegistry", "Image WebP incorrecte")));
                            });
}
