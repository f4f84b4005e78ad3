#include "pictures/picturecontent.h"

#include "pictures/gifheader.h"
#include "pictures/metafileheader.h"
#include "pictures/pcx/pcxheader.h"
#include "platform/apperror.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QXmlStreamReader>
#include <QtEndian>

#include <algorithm>

namespace {

constexpr int BitmapFileHeaderSize = 14;
// The sizes of the header that follows the file header, one per version of the format.
constexpr quint32 BitmapInfoHeaderSizes[] = {12, 16, 40, 52, 56, 64, 108, 124};
constexpr quint16 IconResourceType = 1;
constexpr int IconDirectorySize = 6;

bool startsWith(const QByteArray &bytes, QByteArrayView signature, qsizetype offset = 0)
{
    return bytes.size() >= offset + signature.size() && QByteArrayView(bytes).sliced(offset, signature.size()) == signature;
}

quint16 word(const QByteArray &bytes, qsizetype offset)
{
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

bool isBitmap(const QByteArray &bytes)
{
    if (!startsWith(bytes, "BM") || bytes.size() < BitmapFileHeaderSize + 4)
        return false;
    const quint32 infoSize = qFromLittleEndian<quint32>(bytes.constData() + BitmapFileHeaderSize);
    return std::find(std::begin(BitmapInfoHeaderSizes), std::end(BitmapInfoHeaderSizes), infoSize)
        != std::end(BitmapInfoHeaderSizes);
}

bool isIcon(const QByteArray &bytes)
{
    return bytes.size() >= IconDirectorySize && word(bytes, 0) == 0 && word(bytes, 2) == IconResourceType
        && word(bytes, 4) > 0;
}

bool isPcx(const QByteArray &bytes)
{
    return bytes.size() >= Pcx::HeaderSize
        && checkPcxHeader(parsePcxHeader(reinterpret_cast<const uchar *>(bytes.constData()))) == PcxError::None;
}

// An XML document whose root element is <svg>, whatever comes before it (declaration,
// comments, document type).
bool isSvg(const QByteArray &bytes)
{
    QXmlStreamReader xml(bytes);
    return xml.readNextStartElement() && xml.name() == QLatin1String("svg");
}

} // namespace

bool contentIsKind(PictureKind kind, const QByteArray &bytes)
{
    switch (kind) {
    case PictureKind::Metafile: {
        MetafileHeader header;
        return readMetafileHeader(bytes, header) != MetafileError::NotAMetafile;
    }
    case PictureKind::Icon:
        return isIcon(bytes);
    case PictureKind::Bitmap:
        return isBitmap(bytes);
    case PictureKind::Jpeg:
        return startsWith(bytes, "\xFF\xD8\xFF");
    case PictureKind::Gif: {
        GifHeader header;
        return readGifHeader(bytes, header) == GifHeaderError::None;
    }
    case PictureKind::Pcx:
        return isPcx(bytes);
    case PictureKind::Png:
        return startsWith(bytes, "\x89PNG\r\n\x1A\n");
    case PictureKind::Svg:
        return isSvg(bytes);
    case PictureKind::WebP:
        return startsWith(bytes, "RIFF") && startsWith(bytes, "WEBP", 8);
    }
    return false;
}

QByteArray readPictureAsIs(const PictureRegistry &registry, const QString &path)
{
    const PictureRegistry::Entry &entry = registry.entryFor(path);
    // Checked by name first only to give the clearer reason; the reading itself checks the
    // opened descriptor again.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        throw AppError(QCoreApplication::translate("PictureContent", "%1 n'est pas un fichier ordinaire").arg(path));
    const QByteArray bytes = Picture::readFile(path);
    if (!contentIsKind(entry.kind, bytes))
        throw AppError(QCoreApplication::translate("PictureContent", "Le contenu de %1 n'est pas celui d'une image %2")
                           .arg(path, pictureExtension(path).toUpper()));
    return bytes;
}

namespace {

// The picture drawn at its own size into a PNG; empty when it cannot be drawn.
QByteArray drawnAsPng(const PictureRegistry &registry, const QString &path, const QByteArray &bytes, QColor background)
{
    const std::unique_ptr<Picture> picture = registry.createFor(path);
    picture->loadFromData(bytes);
    if (picture->needsPreparation())
        picture->prepare();
    if (picture->isEmpty())
        return {};
    QSize size(picture->width(), picture->height());
    if (size.width() > MaxDrawnSide || size.height() > MaxDrawnSide)
        size.scale(MaxDrawnSide, MaxDrawnSide, Qt::KeepAspectRatio);
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    image.fill(background);
    QPainter painter(&image);
    picture->draw(painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    return image.save(&buffer, "PNG") ? png : QByteArray();
}

} // namespace

QByteArray readPictureForWeb(const PictureRegistry &registry, const QString &path)
{
    QByteArray bytes = readPictureAsIs(registry, path);
    const PictureKind kind = registry.entryFor(path).kind;
    const bool drawable = kind == PictureKind::Pcx
        || (kind == PictureKind::Metafile && qobject_cast<QGuiApplication *>(QCoreApplication::instance()));
    if (!drawable)
        return bytes;
    try {
        QByteArray png = drawnAsPng(registry, path, bytes, kind == PictureKind::Metafile ? QColor(Qt::white) : QColor(Qt::transparent));
        return png.isEmpty() ? bytes : png;
    } catch (const AppError &) {
        // The program cannot draw it either: it goes as it is, and the export says a browser
        // will not show it.
        return bytes;
    }
}
