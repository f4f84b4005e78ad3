#include "pictures/pcx/pcxencoder.h"

#include "pictures/pcx/bmpfile.h"
#include "pictures/pcx/pcxoutput.h"
#include "pictures/pcx/pcxruns.h"
#include "pictures/pcx/pcxvector.h"

#include <QBuffer>

#include <cstring>
#include <vector>

namespace {

// The bounds fields hold maximum = size - 1 in 16 bits.
constexpr qint64 MaxDimension = 0x10000;
constexpr qint64 MaxBytesPerLine = 0xFFFF;
constexpr int TrueColourPlanes = 3;

PcxColour colourAt(const PcxPalette &palette, size_t index)
{
    // Entries the bitmap's table does not have are written black.
    return index < palette.size() ? palette[index] : PcxColour{};
}

} // namespace

PcxEncoder::PcxEncoder(PcxEncoderOptions options) : m_options(options) {}

QByteArray PcxEncoder::encode(const QByteArray &bmpFile, PcxError *error) const
{
    QByteArray pcx;
    // Room for a typical file up front (photographs come out a little larger than their BMP
    // image), so the array is not copied over and over as it grows.
    pcx.reserve(bmpFile.size() + bmpFile.size() / 4 + Pcx::HeaderSize + Pcx::PaletteBlockSize);
    QBuffer buffer(&pcx);
    buffer.open(QIODevice::WriteOnly);
    const PcxError result = encode(bmpFile, buffer);
    buffer.close();
    if (error)
        *error = result;
    if (result != PcxError::None)
        pcx.clear();
    return pcx;
}

PcxError PcxEncoder::encode(const QByteArray &bmpFile, QIODevice &device, PcxEncodeStats *stats) const
{
    BmpLayout bmp;
    qint64 pixelOffset = 0;
    if (const PcxError error = parseBmpFile(bmpFile, bmp, pixelOffset); error != PcxError::None)
        return error;

    const bool trueColour = bmp.bitsPerPixel == 24;
    const int planes = trueColour ? TrueColourPlanes : 1;
    const int bitsPerPlane = trueColour ? 8 : bmp.bitsPerPixel;
    const qint64 lineBytes = (qint64(bmp.width) * bitsPerPlane + 7) / 8;
    // Plane lines are an even number of bytes long; the padding byte is written as 0.
    const qint64 bytesPerLine = lineBytes + (lineBytes & 1);
    if (bmp.width > MaxDimension || bytesPerLine > MaxBytesPerLine)
        return PcxError::TooWide;
    if (bmp.height > MaxDimension)
        return PcxError::TooLarge;
    if (!device.isWritable())
        return PcxError::WriteFailed;

    PcxHeader header;
    header.manufacturer = Pcx::Manufacturer;
    header.version = Pcx::WrittenVersion;
    header.encoding = Pcx::RunLengthEncoding;
    header.bitsPerPixel = quint8(bitsPerPlane);
    header.xMax = quint16(bmp.width - 1);
    header.yMax = quint16(bmp.height - 1);
    const quint16 dpiX = pixelsPerMetreToDpi(bmp.xPixelsPerMetre);
    const quint16 dpiY = pixelsPerMetreToDpi(bmp.yPixelsPerMetre);
    header.horizontalDpi = dpiX ? dpiX : m_options.fallbackDpi;
    header.verticalDpi = dpiY ? dpiY : m_options.fallbackDpi;
    if (bmp.bitsPerPixel == 1 || bmp.bitsPerPixel == 4) {
        const size_t entries = size_t(1) << bmp.bitsPerPixel;
        for (size_t i = 0; i < entries; ++i)
            header.palette[i] = colourAt(bmp.palette, i);
    }
    header.planes = quint8(planes);
    header.bytesPerLine = quint16(bytesPerLine);
    header.paletteInfo = Pcx::PaletteInfoColour;

    PcxOutput output(device, m_options.outputBufferSize);
    uchar headerBytes[Pcx::HeaderSize];
    serializePcxHeader(header, headerBytes);
    output.put(headerBytes, Pcx::HeaderSize);

    const auto *pixels = reinterpret_cast<const uchar *>(bmpFile.constData()) + pixelOffset;
    const qint64 rowSize = bmp.rowSize();
    // One plane line per plane, each padded with 0 to bytes per line; a 24-bit row is split
    // into its red, green and blue lines in one pass.
    std::vector<uchar> lines(static_cast<size_t>(planes * bytesPerLine), 0);
    uchar *const red = lines.data();
    uchar *const green = red + bytesPerLine;
    uchar *const blue = green + bytesPerLine;
    const bool vectorSplit = m_options.loops == PcxLoops::Fastest && PcxVector::available();
    for (int y = 0; y < bmp.height; ++y) {
        // PCX goes from the top row down; BMP usually stores the bottom row first.
        const int stored = bmp.topDown ? y : bmp.height - 1 - y;
        const uchar *row = pixels + qint64(stored) * rowSize;
        if (!trueColour) {
            std::memcpy(lines.data(), row, static_cast<size_t>(lineBytes));
            writePcxRuns(output, lines.data(), bytesPerLine, m_options.loops);
            continue;
        }
        const int split = vectorSplit ? PcxVector::splitRow(row, bmp.width, red, green, blue) : 0;
        row += qint64(split) * TrueColourPlanes;
        for (int x = split; x < bmp.width; ++x, row += TrueColourPlanes) {
            blue[x] = row[0];
            green[x] = row[1];
            red[x] = row[2];
        }
        writePcxRuns(output, red, bytesPerLine, m_options.loops);
        writePcxRuns(output, green, bytesPerLine, m_options.loops);
        writePcxRuns(output, blue, bytesPerLine, m_options.loops);
    }

    if (bmp.bitsPerPixel == 8) {
        output.put(Pcx::PaletteBlockMarker);
        for (size_t i = 0; i < size_t(Pcx::PaletteBlockEntries); ++i) {
            const PcxColour colour = colourAt(bmp.palette, i);
            output.put(colour.red);
            output.put(colour.green);
            output.put(colour.blue);
        }
    }

    const bool written = output.finish();
    if (stats) {
        stats->bytesWritten = output.written();
        stats->bufferFlushes = output.flushes();
    }
    return written ? PcxError::None : PcxError::WriteFailed;
}
