#pragma once

// Builders and readers shared by the PCX tests: hand-made PCX files with exactly the bytes a
// case needs, and pixel access to the BMP file images the codec produces.

#include "pictures/pcx/bmpfile.h"
#include "pictures/pcx/pcxheader.h"

#include <QByteArray>
#include <QList>
#include <QMetaType>

#include <functional>

namespace PcxTestKit {

// A header that passes every check: version 5, run-length, palette information 1.
inline PcxHeader header(int width, int height, int planes, int bitsPerPlane, int bytesPerLine = -1)
{
    PcxHeader h;
    h.manufacturer = Pcx::Manufacturer;
    h.version = 5;
    h.encoding = Pcx::RunLengthEncoding;
    h.bitsPerPixel = quint8(bitsPerPlane);
    h.xMax = quint16(width - 1);
    h.yMax = quint16(height - 1);
    h.horizontalDpi = 72;
    h.verticalDpi = 72;
    h.planes = quint8(planes);
    if (bytesPerLine < 0) {
        const int bytes = (width * bitsPerPlane + 7) / 8;
        bytesPerLine = bytes + (bytes & 1);
    }
    h.bytesPerLine = quint16(bytesPerLine);
    h.paletteInfo = Pcx::PaletteInfoColour;
    return h;
}

inline QByteArray headerBytes(const PcxHeader &h)
{
    QByteArray bytes(Pcx::HeaderSize, '\0');
    serializePcxHeader(h, reinterpret_cast<uchar *>(bytes.data()));
    return bytes;
}

// Code bytes written as values, literal or not: makes the tables readable.
inline QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (int v : values)
        result.append(char(v));
    return result;
}

// Each value as its own literal byte, or 0xC1 v for values that would read as run bytes.
inline QByteArray literals(const QByteArray &values)
{
    QByteArray result;
    for (char c : values) {
        if (uchar(c) >= Pcx::RunFlag)
            result.append(char(Pcx::RunFlag | 1));
        result.append(c);
    }
    return result;
}

// The 769-byte block of an 8-bit file: marker, then entry i = (i, 255 - i, i / 2) by default.
inline QByteArray paletteBlock(int marker = Pcx::PaletteBlockMarker)
{
    QByteArray block(1, char(marker));
    for (int i = 0; i < 256; ++i) {
        block.append(char(i));
        block.append(char(255 - i));
        block.append(char(i / 2));
    }
    return block;
}

inline QByteArray pcxFile(const PcxHeader &h, const QByteArray &codeBytes, const QByteArray &tail = {})
{
    return headerBytes(h) + codeBytes + tail;
}

// A BMP file image opened for pixel checks.
struct OpenedBmp
{
    BmpLayout layout;
    qint64 pixelOffset = 0;
    QByteArray file;
    PcxError error = PcxError::MalformedBitmap;

    static OpenedBmp open(const QByteArray &file)
    {
        OpenedBmp bmp;
        bmp.file = file;
        bmp.error = parseBmpFile(file, bmp.layout, bmp.pixelOffset);
        return bmp;
    }

    const uchar *row(int y) const // y = 0 is the top row
    {
        const int stored = layout.topDown ? y : layout.height - 1 - y;
        return reinterpret_cast<const uchar *>(file.constData()) + pixelOffset + qint64(stored) * layout.rowSize();
    }

    int index(int x, int y) const
    {
        const uchar *r = row(y);
        switch (layout.bitsPerPixel) {
        case 1:
            return (r[x / 8] >> (7 - x % 8)) & 1;
        case 4:
            return (r[x / 2] >> (x % 2 ? 0 : 4)) & 0xF;
        case 8:
            return r[x];
        }
        return -1;
    }

    // 0xRRGGBB, through the colour table for indexed pictures.
    quint32 rgb(int x, int y) const
    {
        if (layout.bitsPerPixel == 24) {
            const uchar *p = row(y) + 3 * x;
            return quint32(p[2]) << 16 | quint32(p[1]) << 8 | p[0];
        }
        const int i = index(x, y);
        if (i < 0 || size_t(i) >= layout.palette.size())
            return 0xFFFFFFFF;
        const PcxColour c = layout.palette[size_t(i)];
        return quint32(c.red) << 16 | quint32(c.green) << 8 | c.blue;
    }

    // Every pixel top row first, as 0xRRGGBB.
    QList<quint32> pixels() const
    {
        QList<quint32> all;
        for (int y = 0; y < layout.height; ++y)
            for (int x = 0; x < layout.width; ++x)
                all.append(rgb(x, y));
        return all;
    }
};

// A BMP file image built from scratch, for the encoder's input.
inline QByteArray bmpFile(int width, int height, int bitsPerPixel, const PcxPalette &palette,
                          const std::function<int(int x, int y)> &value, qint32 pixelsPerMetre = 2835)
{
    BmpLayout layout;
    layout.width = width;
    layout.height = height;
    layout.bitsPerPixel = bitsPerPixel;
    layout.palette = palette;
    layout.xPixelsPerMetre = layout.yPixelsPerMetre = pixelsPerMetre;
    qint64 size = 0;
    layout.fileSize(size);
    QByteArray file(size, '\0');
    auto *data = reinterpret_cast<uchar *>(file.data());
    writeBmpHeaders(layout, data);
    for (int y = 0; y < height; ++y) {
        uchar *row = data + layout.pixelOffset() + qint64(height - 1 - y) * layout.rowSize();
        for (int x = 0; x < width; ++x) {
            const int v = value(x, y);
            switch (bitsPerPixel) {
            case 1:
                row[x / 8] |= uchar((v & 1) << (7 - x % 8));
                break;
            case 4:
                row[x / 2] |= uchar((v & 0xF) << (x % 2 ? 0 : 4));
                break;
            case 8:
                row[x] = uchar(v);
                break;
            case 24:
                row[3 * x] = uchar(v);
                row[3 * x + 1] = uchar(v >> 8);
                row[3 * x + 2] = uchar(v >> 16);
                break;
            }
        }
    }
    return file;
}

// A palette whose entries all differ, so a wrong index shows as a wrong colour.
inline PcxPalette rainbow(int entries)
{
    PcxPalette palette;
    for (int i = 0; i < entries; ++i)
        palette.push_back(PcxColour{quint8(i * 37), quint8(255 - i), quint8(i * 3 + 1)});
    return palette;
}

} // namespace PcxTestKit

Q_DECLARE_METATYPE(PcxError)
Q_DECLARE_METATYPE(PcxFormatCode)
