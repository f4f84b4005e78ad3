#pragma once

#include "pictures/pcx/pcxerror.h"
#include "pictures/pcx/pcxformatcode.h"
#include "pictures/pcx/pcxpalette.h"

#include <QtGlobal>

#include <array>

namespace Pcx {
constexpr int HeaderSize = 128;
constexpr quint8 Manufacturer = 10;
constexpr quint8 MinVersion = 1;
constexpr quint8 MaxVersion = 5;
constexpr quint8 WrittenVersion = 5;
constexpr quint8 RunLengthEncoding = 1;
constexpr int HeaderPaletteEntries = 16;
constexpr quint16 PaletteInfoUnset = 0;
constexpr quint16 PaletteInfoColour = 1;
constexpr quint16 PaletteInfoGrey = 2;
// The 256-colour block at the very end of an 8-bit file: a marker byte, then 256 RGB triples.
constexpr quint8 PaletteBlockMarker = 12;
constexpr int PaletteBlockEntries = 256;
constexpr int PaletteBlockSize = 1 + 3 * PaletteBlockEntries; // 769
// A code byte with both top bits set starts a run; its low six bits count the repeats.
constexpr quint8 RunFlag = 0xC0;
constexpr quint8 RunCountMask = 0x3F;
constexpr int MaxRunLength = 63;
// Input and output pass through buffers of this size unless a test asks for smaller ones.
constexpr int DefaultBufferSize = 65535;
} // namespace Pcx

// The 128-byte header, little-endian words, as found at offset 0 of every PCX file.
struct PcxHeader
{
    quint8 manufacturer = 0;
    quint8 version = 0;
    quint8 encoding = 0;
    quint8 bitsPerPixel = 0; // per plane
    quint16 xMin = 0;
    quint16 yMin = 0;
    quint16 xMax = 0;
    quint16 yMax = 0;
    quint16 horizontalDpi = 0;
    quint16 verticalDpi = 0;
    std::array<PcxColour, Pcx::HeaderPaletteEntries> palette{};
    quint8 reserved = 0;
    quint8 planes = 0;
    quint16 bytesPerLine = 0; // per plane
    quint16 paletteInfo = 0;
};

// Reads the fields from exactly Pcx::HeaderSize bytes.
PcxHeader parsePcxHeader(const uchar *bytes);
// Writes the fields into exactly Pcx::HeaderSize bytes; the unused tail is zero.
void serializePcxHeader(const PcxHeader &header, uchar *bytes);

// The one place that lists the values a readable header may hold (manufacturer, version,
// encoding, reserved byte, palette information). Planes and depth are judged by classifyPcx().
PcxError checkPcxHeader(const PcxHeader &header);

// How a checked header's pixels are to be decoded and shown.
struct PcxLayout
{
    PcxFormatCode formatCode = PcxFormatCode::Other;
    int planes = 0;
    int bitsPerPlane = 0;
    int bmpBitsPerPixel = 0;   // 1, 4, 8 or 24
    int paletteEntries = 0;    // 2, 16 or 256; 0 for 24 bits
    bool greyLevels = false;   // palette information 2 (after the defaults for 0)
    bool needsPaletteBlock = false;
};

// Classifies by planes and bits per plane. Four-plane files give FourPlanes, everything that
// cannot be decoded gives UnsupportedLayout; the layout's format code is set in both cases.
PcxError classifyPcx(const PcxHeader &header, PcxLayout &layout);

// Picture width and height from the bounds; fails with InvertedBounds when a maximum lies below
// its minimum, because the wrapped difference would describe a picture nobody drew.
PcxError pcxDimensions(const PcxHeader &header, int &width, int &height);
