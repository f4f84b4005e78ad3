#include "pictures/pcx/bmpfile.h"

#include <QtEndian>
#include <QtNumeric>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr double MetresPerInch = 0.0254;
constexpr double InchesPerMetre = 39.3701;

// Offsets inside the 14-byte file header and the 40-byte information header.
enum BmpOffset {
    FileSizeAt = 2,
    PixelOffsetAt = 10,
    InfoSizeAt = 14,
    WidthAt = 18,
    HeightAt = 22,
    PlanesAt = 26,
    BitsPerPixelAt = 28,
    CompressionAt = 30,
    ImageSizeAt = 34,
    XPixelsPerMetreAt = 38,
    YPixelsPerMetreAt = 42,
    ColoursUsedAt = 46,
    ColoursImportantAt = 50,
};

template <typename T>
T readLe(const uchar *bytes, qint64 offset)
{
    return qFromLittleEndian<T>(bytes + offset);
}

template <typename T>
void writeLe(uchar *bytes, qint64 offset, T value)
{
    qToLittleEndian<T>(value, bytes + offset);
}

bool isSupportedDepth(int bitsPerPixel)
{
    return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 24;
}

} // namespace

qint64 BmpLayout::rowSize() const
{
    const qint64 bits = qint64(width) * bitsPerPixel;
    return (bits + 31) / 32 * 4;
}

qint64 BmpLayout::pixelOffset() const
{
    return Bmp::HeadersSize + Bmp::PaletteEntrySize * qint64(palette.size());
}

bool BmpLayout::fileSize(qint64 &size) const
{
    qint64 image = 0;
    if (width < 0 || height < 0 || qMulOverflow(rowSize(), qint64(height), &image))
        return false;
    return !qAddOverflow(image, pixelOffset(), &size);
}

void writeBmpHeaders(const BmpLayout &layout, uchar *out)
{
    qint64 total = 0;
    layout.fileSize(total);
    const qint64 imageSize = total - layout.pixelOffset();

    std::memcpy(out, Bmp::Signature, 2);
    writeLe<quint32>(out, FileSizeAt, quint32(total));
    writeLe<quint32>(out, 6, 0); // two reserved words
    writeLe<quint32>(out, PixelOffsetAt, quint32(layout.pixelOffset()));

    writeLe<quint32>(out, InfoSizeAt, Bmp::InfoHeaderSize);
    writeLe<qint32>(out, WidthAt, layout.width);
    writeLe<qint32>(out, HeightAt, layout.topDown ? -layout.height : layout.height);
    writeLe<quint16>(out, PlanesAt, 1);
    writeLe<quint16>(out, BitsPerPixelAt, quint16(layout.bitsPerPixel));
    writeLe<quint32>(out, CompressionAt, Bmp::NoCompression);
    writeLe<quint32>(out, ImageSizeAt, quint32(imageSize));
    writeLe<qint32>(out, XPixelsPerMetreAt, layout.xPixelsPerMetre);
    writeLe<qint32>(out, YPixelsPerMetreAt, layout.yPixelsPerMetre);
    // A full colour table is announced as 0, the usual way; a shorter one by its length.
    const size_t fullTable = layout.bitsPerPixel <= 8 ? size_t(1) << layout.bitsPerPixel : 0;
    const size_t used = layout.palette.size() < fullTable ? layout.palette.size() : 0;
    writeLe<quint32>(out, ColoursUsedAt, quint32(used));
    writeLe<quint32>(out, ColoursImportantAt, 0);

    uchar *entry = out + Bmp::HeadersSize;
    for (const PcxColour &colour : layout.palette) {
        entry[0] = colour.blue;
        entry[1] = colour.green;
        entry[2] = colour.red;
        entry[3] = 0;
        entry += Bmp::PaletteEntrySize;
    }
}

PcxError parseBmpFile(const QByteArray &file, BmpLayout &layout, qint64 &pixelOffset)
{
    layout = BmpLayout{};
    const qint64 size = file.size();
    const auto *bytes = reinterpret_cast<const uchar *>(file.constData());
    if (size < Bmp::HeadersSize || std::memcmp(bytes, Bmp::Signature, 2) != 0)
        return PcxError::MalformedBitmap;

    const quint32 infoSize = readLe<quint32>(bytes, InfoSizeAt);
    const qint32 width = readLe<qint32>(bytes, WidthAt);
    const qint32 height = readLe<qint32>(bytes, HeightAt);
    const quint16 bitsPerPixel = readLe<quint16>(bytes, BitsPerPixelAt);
    const quint32 compression = readLe<quint32>(bytes, CompressionAt);
    if (infoSize < quint32(Bmp::InfoHeaderSize) || Bmp::FileHeaderSize + qint64(infoSize) > size)
        return PcxError::MalformedBitmap;
    if (compression != Bmp::NoCompression || !isSupportedDepth(bitsPerPixel))
        return PcxError::UnsupportedBitmap;
    // INT_MIN has no positive counterpart, so it cannot describe a top-down height.
    if (width <= 0 || height == 0 || height == std::numeric_limits<qint32>::min())
        return PcxError::MalformedBitmap;

    layout.width = width;
    layout.height = height < 0 ? -height : height;
    layout.topDown = height < 0;
    layout.bitsPerPixel = bitsPerPixel;
    layout.xPixelsPerMetre = readLe<qint32>(bytes, XPixelsPerMetreAt);
    layout.yPixelsPerMetre = readLe<qint32>(bytes, YPixelsPerMetreAt);

    if (bitsPerPixel <= 8) {
        const quint32 fullTable = 1u << bitsPerPixel;
        quint32 entries = readLe<quint32>(bytes, ColoursUsedAt);
        if (entries == 0 || entries > fullTable)
            entries = fullTable;
        const qint64 tableAt = Bmp::FileHeaderSize + qint64(infoSize);
        if (tableAt + qint64(entries) * Bmp::PaletteEntrySize > size)
            return PcxError::MalformedBitmap;
        layout.palette.resize(entries);
        for (quint32 i = 0; i < entries; ++i) {
            const uchar *entry = bytes + tableAt + qint64(i) * Bmp::PaletteEntrySize;
            layout.palette[i] = PcxColour{entry[2], entry[1], entry[0]};
        }
    }

    pixelOffset = readLe<quint32>(bytes, PixelOffsetAt);
    qint64 imageSize = 0;
    qint64 end = 0;
    if (qMulOverflow(layout.rowSize(), qint64(layout.height), &imageSize)
        || qAddOverflow(pixelOffset, imageSize, &end) || end > size)
        return PcxError::MalformedBitmap;
    return PcxError::None;
}

qint32 dpiToPixelsPerMetre(quint16 dotsPerInch)
{
    return qint32(std::lround(dotsPerInch * InchesPerMetre));
}

quint16 pixelsPerMetreToDpi(qint32 pixelsPerMetre)
{
    if (pixelsPerMetre <= 0)
        return 0;
    const long dpi = std::lround(pixelsPerMetre * MetresPerInch);
    return quint16(qMin<long>(dpi, 0xFFFF));
}
