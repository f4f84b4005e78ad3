#include "pictures/webpictures.h"

#include "pictures/pictureregistry.h"
#include "platform/apperror.h"

#include <QCoreApplication>

WebRasterPicture::WebRasterPicture(const char *format, QString failureText)
    : m_format(format), m_failureText(std::move(failureText))
{
}

void WebRasterPicture::loadFromData(const QByteArray &bytes)
{
    readImage(bytes, m_format, m_failureText);
}

SvgPicture::SvgPicture() : SvgDrawnPicture(Qt::transparent) {}

void SvgPicture::loadFromData(const QByteArray &bytes)
{
    // Its own size is the one the file declares; a file that declares none cannot be placed.
    if (!adopt(bytes))
        throw AppError(QCoreApplication::translate("SvgPicture", "Image SVG incorrecte"));
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
