#include "pictures/webpictures.h"

#include "pictures/pictureregistry.h"

#include <QCoreApplication>

WebRasterPicture::WebRasterPicture(const char *format, QString failureText)
    : m_format(format), m_failureText(std::move(failureText))
{
}

void WebRasterPicture::loadFromData(const QByteArray &bytes)
{
    readImage(bytes, m_format, m_failureText);
}

SvgPicture::SvgPicture(DrawingConversion convert)
    : SvgDrawnPicture(std::move(convert), Qt::transparent,
                      {QCoreApplication::translate("SvgPicture", "Image SVG incorrecte"),
                       QCoreApplication::translate("SvgPicture", "l'image SVG")})
{
}

void SvgPicture::loadFromData(const QByteArray &bytes)
{
    // Its own size is the one the file declares; a file that declares none cannot be placed.
    loadDrawing(DrawingSource::Svg, bytes);
}

void registerWebFormats(PictureRegistry &registry)
{
    registry.registerFormat(QStringLiteral("png"), QCoreApplication::translate("PictureRegistry", "Image PNG"),
                            PictureKind::Png, [] {
                                return std::unique_ptr<Picture>(new WebRasterPicture(
                                    "png", QCoreApplication::translate("PictureRegistry", "Image PNG incorrecte")));
                            });
    registry.registerFormat(QStringLiteral("svg"), QCoreApplication::translate("PictureRegistry", "Image SVG"),
                            PictureKind::Svg, [convert = registry.drawingConversion()] {
                                return std::unique_ptr<Picture>(new SvgPicture(convert));
                            });
    registry.registerFormat(QStringLiteral("webp"), QCoreApplication::translate("PictureRegistry", "Image WebP"),
                            PictureKind::WebP, [] {
                                return std::unique_ptr<Picture>(new WebRasterPicture(
                                    "webp", QCoreApplication::translate("PictureRegistry", "Image WebP incorrecte")));
                            });
}
