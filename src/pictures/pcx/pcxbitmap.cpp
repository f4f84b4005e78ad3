#include "pictures/pcx/pcxbitmap.h"

#include "pictures/pcx/bmpfile.h"

#include <QBuffer>
#include <QPainter>
#include <QSet>

#include <cstring>

namespace {

// The 16 colours of the standard VGA palette: what pictures with more colours are reduced
// to when they become 4-bit.
const QList<QRgb> &vgaColours()
{
    static const QList<QRgb> colours{
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
    };
    return colours;
}

QList<QRgb> defaultColours(int depth)
{
    if (depth == 1)
        return {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    if (depth == 4)
        return vgaColours();
    QList<QRgb> greys;
    for (int i = 0; i < 256; ++i)
        greys.append(qRgb(i, i, i));
    return greys;
}

bool isWritableDepth(int depth)
{
    return depth == 1 || depth == 4 || depth == 8 || depth == 24;
}

// The distinct colours of an image, or an empty list when there are more than limit.
QList<QRgb> distinctColours(const QImage &rgb, int limit)
{
    QSet<QRgb> seen;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            seen.insert(line[x] | 0xFF000000u);
            if (seen.size() > limit)
                return {};
        }
    }
    return QList<QRgb>(seen.begin(), seen.end());
}

// An 8-bit indexed image with at most maxColours colours. Pictures that already have few
// enough colours keep them exactly; others are dithered to the VGA colours (16) or to the
// palette Qt chooses (256).
QImage toIndexed(const QImage &image, int maxColours)
{
    if (image.format() == QImage::Format_Indexed8 && image.colorCount() <= maxColours)
        return image;
    if ((image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB)
        && image.colorCount() <= maxColours)
        return image.convertToFormat(QImage::Format_Indexed8);
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const QList<QRgb> exact = distinctColours(rgb, maxColours);
    if (!exact.isEmpty())
        return rgb.convertToFormat(QImage::Format_Indexed8, exact, Qt::ThresholdDither);
    if (maxColours <= 16)
        return rgb.convertToFormat(QImage::Format_Indexed8, vgaColours(), Qt::DiffuseDither);
    return rgb.convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither);
}

PcxColour pcxColour(QRgb rgb)
{
    return PcxColour{quint8(qRed(rgb)), quint8(qGreen(rgb)), quint8(qBlue(rgb))};
}

} // namespace

PcxBitmap::PcxBitmap(int depth) : m_depth(depth)
{
    if (depth <= 8)
        m_colourTable = defaultColours(depth);
}

int PcxBitmap::depthOf(const QImage &image)
{
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return 1;
    case QImage::Format_Indexed8:
    case QImage::Format_Grayscale8:
    case QImage::Format_Alpha8:
        return 8;
    case QImage::Format_RGB555:
    case QImage::Format_ARGB8555_Premultiplied:
        return 15;
    case QImage::Format_RGB16:
    case QImage::Format_RGB444:
    case QImage::Format_ARGB4444_Premultiplied:
        return 16;
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
    case QImage::Format_RGB666:
    case QImage::Format_ARGB6666_Premultiplied:
    case QImage::Format_ARGB8565_Premultiplied:
        return 24;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
    case QImage::Format_RGBA8888_Premultiplied:
        return 32;
    default:
        return image.depth();
    }
}

QImage::Format PcxBitmap::storageFormat() const
{
    if (m_depth == 1)
        return QImage::Format_Mono;
    if (m_depth == 4 || m_depth == 8)
        return QImage::Format_Indexed8;
    return QImage::Format_RGB32;
}

namespace {

// The image a BMP file of that layout loads into, colour table and resolution included; null
// when memory runs out.
QImage imageFor(const BmpLayout &layout)
{
    const int depth = layout.bitsPerPixel;
    QImage image(layout.width, layout.height, depth == 1 ? QImage::Format_Mono
                                                         : depth == 24 ? QImage::Format_RGB32 : QImage::Format_Indexed8);
    if (image.isNull())
        return image;
    if (depth <= 8) {
        QList<QRgb> colours;
        for (const PcxColour &colour : layout.palette)
            colours.append(qRgb(colour.red, colour.green, colour.blue));
        // Indices beyond a short colour table would have no colour.
        while (colours.size() < (1 << depth))
            colours.append(qRgb(0, 0, 0));
        image.setColorTable(colours);
    }
    if (layout.xPixelsPerMetre > 0)
        image.setDotsPerMeterX(layout.xPixelsPerMetre);
    if (layout.yPixelsPerMetre > 0)
        image.setDotsPerMeterY(layout.yPixelsPerMetre);
    return image;
}

} // namespace

template <typename Source>
PcxDecodeResult PcxBitmap::decodeFrom(const PcxDecoder &decoder, Source &pcxFile)
{
    QImage image;
    int depth = 0;
    PcxDecodeResult result = decoder.decodeInto(pcxFile, [&image, &depth](const BmpLayout &layout) {
        image = imageFor(layout);
        depth = layout.bitsPerPixel;
        PcxPixelRows rows;
        if (!image.isNull()) {
            rows.firstLine = image.scanLine(0);
            rows.step = image.bytesPerLine();
            rows.rowBytes = image.bytesPerLine();
            rows.packing = PcxPixelRows::Packing::Unpacked;
        }
        return rows;
    });
    if (result.ok())
        adopt(std::move(image), depth);
    return result;
}

PcxDecodeResult PcxBitmap::decode(const PcxDecoder &decoder, const QByteArray &pcxFile)
{
    return decodeFrom(decoder, pcxFile);
}

PcxDecodeResult PcxBitmap::decode(const PcxDecoder &decoder, QIODevice &pcxFile)
{
    return decodeFrom(decoder, pcxFile);
}

void PcxBitmap::adopt(QImage image, int depth)
{
    m_width = image.width();
    m_height = image.height();
    m_depth = depth;
    m_colourTable = image.colorTable();
    m_image = std::move(image);
}

bool PcxBitmap::loadBmp(const QByteArray &bmpFile)
{
    BmpLayout layout;
    qint64 pixelOffset = 0;
    if (parseBmpFile(bmpFile, layout, pixelOffset) != PcxError::None)
        return false;
    const int depth = layout.bitsPerPixel;
    QImage image = imageFor(layout);
    if (image.isNull())
        return false;

    const auto *pixels = reinterpret_cast<const uchar *>(bmpFile.constData()) + pixelOffset;
    const qint64 rowSize = layout.rowSize();
    const int width = layout.width;
    for (int y = 0; y < layout.height; ++y) {
        const int stored = layout.topDown ? y : layout.height - 1 - y;
        const uchar *row = pixels + qint64(stored) * rowSize;
        uchar *line = image.scanLine(y);
        switch (depth) {
        case 1:
            std::memcpy(line, row, static_cast<size_t>((width + 7) / 8));
            break;
        case 4:
            for (int x = 0; x < width; ++x)
                line[x] = uchar(x % 2 ? row[x / 2] & 0x0F : row[x / 2] >> 4);
            break;
        case 8:
            std::memcpy(line, row, static_cast<size_t>(width));
            break;
        case 24: {
            auto *out = reinterpret_cast<QRgb *>(line);
            for (int x = 0; x < width; ++x, row += 3)
                out[x] = qRgb(row[2], row[1], row[0]);
            break;
        }
        }
    }
    adopt(std::move(image), depth);
    return true;
}

QByteArray PcxBitmap::toBmp() const
{
    if (m_image.isNull() || !isWritableDepth(m_depth))
        return QByteArray();
    BmpLayout layout;
    layout.width = m_width;
    layout.height = m_height;
    layout.bitsPerPixel = m_depth;
    layout.xPixelsPerMetre = m_image.dotsPerMeterX();
    layout.yPixelsPerMetre = m_image.dotsPerMeterY();
    if (m_depth <= 8) {
        const int entries = qMin(int(m_colourTable.size()), 1 << m_depth);
        for (int i = 0; i < entries; ++i)
            layout.palette.push_back(pcxColour(m_colourTable[i]));
    }
    qint64 size = 0;
    if (!layout.fileSize(size))
        return QByteArray();
    QByteArray file(size, '\0');
    auto *data = reinterpret_cast<uchar *>(file.data());
    writeBmpHeaders(layout, data);
    const qint64 rowSize = layout.rowSize();
    for (int y = 0; y < m_height; ++y) {
        const uchar *source = m_image.constScanLine(y);
        uchar *row = data + layout.pixelOffset() + qint64(m_height - 1 - y) * rowSize;
        switch (m_depth) {
        case 1:
            std::memcpy(row, source, static_cast<size_t>((m_width + 7) / 8));
            break;
        case 4:
            for (int x = 0; x < m_width; ++x)
                row[x / 2] |= uchar((source[x] & 0x0F) << (x % 2 ? 0 : 4));
            break;
        case 8:
            std::memcpy(row, source, static_cast<size_t>(m_width));
            break;
        case 24: {
            const auto *pixels = reinterpret_cast<const QRgb *>(source);
            for (int x = 0; x < m_width; ++x) {
                row[3 * x] = uchar(qBlue(pixels[x]));
                row[3 * x + 1] = uchar(qGreen(pixels[x]));
                row[3 * x + 2] = uchar(qRed(pixels[x]));
            }
            break;
        }
        }
    }
    return file;
}

void PcxBitmap::setImage(const QImage &image)
{
    m_image = image;
    m_width = image.width();
    m_height = image.height();
    m_depth = image.isNull() ? m_depth : depthOf(image);
    if (m_image.format() == QImage::Format_MonoLSB)
        m_image = m_image.convertToFormat(QImage::Format_Mono);
    m_colourTable = m_image.colorTable();
}

void PcxBitmap::setWidth(int width)
{
    resize(qMax(width, 0), m_height);
}

void PcxBitmap::setHeight(int height)
{
    resize(m_width, qMax(height, 0));
}

void PcxBitmap::resize(int width, int height)
{
    if (width == m_width && height == m_height)
        return;
    m_width = width;
    m_height = height;
    if (width == 0 || height == 0) {
        m_image = QImage();
        return;
    }
    if (!m_image.isNull()) {
        // Qt fills what lies outside the old image with 0.
        const QImage resized = m_image.copy(0, 0, width, height);
        if (resized.isNull())
            throw std::bad_alloc();
        m_image = resized;
        return;
    }
    QImage fresh(width, height, storageFormat());
    if (fresh.isNull())
        throw std::bad_alloc();
    if (fresh.format() != QImage::Format_RGB32)
        fresh.setColorTable(m_colourTable.isEmpty() ? defaultColours(m_depth) : m_colourTable);
    fresh.fill(0);
    m_image = std::move(fresh);
    m_colourTable = m_image.colorTable();
}

void PcxBitmap::setDepth(int depth)
{
    if (!isWritableDepth(depth))
        return;
    if (m_image.isNull()) {
        if (depth != m_depth)
            m_colourTable = depth <= 8 ? defaultColours(depth) : QList<QRgb>();
        m_depth = depth;
        return;
    }
    const QImage::Format format = m_image.format();
    switch (depth) {
    case 1:
        if (format != QImage::Format_Mono)
            m_image = m_image.convertToFormat(QImage::Format_Mono);
        break;
    case 4:
        m_image = toIndexed(m_image, 16);
        break;
    case 8:
        m_image = toIndexed(m_image, 256);
        break;
    case 24:
        if (format != QImage::Format_RGB32)
            m_image = m_image.convertToFormat(QImage::Format_RGB32);
        break;
    }
    m_depth = depth;
    m_colourTable = m_image.colorTable();
}

void PcxBitmap::clear()
{
    m_image = QImage();
    m_width = 0;
    m_height = 0;
}

void PcxBitmap::setPalette(const QList<QRgb> &colours)
{
    if (m_depth > 8)
        return;
    QList<QRgb> table = colours.mid(0, 1 << m_depth);
    // Every index the pixels may hold needs a colour.
    const int needed = m_image.isNull() ? int(table.size()) : qMax(int(table.size()), m_image.colorCount());
    while (table.size() < needed)
        table.append(qRgb(0, 0, 0));
    m_colourTable = table;
    if (!m_image.isNull())
        m_image.setColorTable(table);
}

void PcxBitmap::paint(const std::function<void(QPainter &)> &painter)
{
    if (m_image.isNull())
        return;
    if (m_image.format() == QImage::Format_RGB32) {
        QPainter canvas(&m_image);
        painter(canvas);
        return;
    }
    QImage full = m_image.convertToFormat(QImage::Format_RGB32);
    {
        QPainter canvas(&full);
        painter(canvas);
    }
    m_image = full.convertToFormat(m_image.format(), m_colourTable, Qt::ThresholdDither);
}

uchar *PcxBitmap::scanLine(int row)
{
    if (m_image.isNull() || row < 0 || row >= m_height)
        return nullptr;
    return m_image.scanLine(row);
}

void PcxBitmap::detach()
{
    if (!m_image.isNull())
        m_image = m_image.copy();
}
