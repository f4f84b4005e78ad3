#pragma once

#include "pictures/pcx/pcxerror.h"
#include "pictures/pcx/pcxpalette.h"

#include <QByteArray>
#include <QtGlobal>

namespace Bmp {
constexpr int FileHeaderSize = 14;
constexpr int InfoHeaderSize = 40;
constexpr int HeadersSize = FileHeaderSize + InfoHeaderSize; // 54
constexpr int PaletteEntrySize = 4;                          // blue, green, red, 0
constexpr char Signature[] = "BM";
constexpr quint32 NoCompression = 0;
constexpr int MaxPaletteEntries = 256;
} // namespace Bmp

// The shape of an uncompressed Windows BMP file image with 1, 4, 8 or 24 bits per pixel.
struct BmpLayout
{
    int width = 0;
    int height = 0;          // rows stored bottom-up unless topDown
    bool topDown = false;    // a negative height in the file
    int bitsPerPixel = 0;
    PcxPalette palette;      // the colour table, at most 256 entries
    qint32 xPixelsPerMetre = 0;
    qint32 yPixelsPerMetre = 0;

    // Bytes of one pixel row: the row's bits in whole bytes, rounded up to a multiple of 4.
    qint64 rowSize() const;
    qint64 pixelOffset() const;
    // Size of the whole file; false when it cannot be represented (never for PCX-sized inputs).
    bool fileSize(qint64 &size) const;
};

// Writes the file header, the information header and the colour table: pixelOffset() bytes.
void writeBmpHeaders(const BmpLayout &layout, uchar *out);

// Reads the headers and colour table of a BMP file image held in memory and checks that every
// row lies inside it. pixelOffset receives where the first stored row starts. Compressed files
// and depths other than 1, 4, 8 and 24 bits give UnsupportedBitmap.
PcxError parseBmpFile(const QByteArray &file, BmpLayout &layout, qint64 &pixelOffset);

// PCX keeps dots per inch in 16 bits, BMP pixels per metre in 32.
qint32 dpiToPixelsPerMetre(quint16 dotsPerInch);
// Rounded and clamped to what the 16-bit field holds; 0 and negative give 0.
quint16 pixelsPerMetreToDpi(qint32 pixelsPerMetre);
