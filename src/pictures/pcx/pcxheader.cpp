#include "pictures/pcx/pcxheader.h"

#include <QtEndian>

#include <cstring>

namespace {

// Byte offsets of the header fields.
enum HeaderOffset {
    ManufacturerAt = 0,
    VersionAt = 1,
    EncodingAt = 2,
    BitsPerPixelAt = 3,
    XMinAt = 4,
    YMinAt = 6,
    XMaxAt = 8,
    YMaxAt = 10,
    HorizontalDpiAt = 12,
    VerticalDpiAt = 14,
    PaletteAt = 16,
    ReservedAt = 64,
    PlanesAt = 65,
    BytesPerLineAt = 66,
    PaletteInfoAt = 68,
};

quint16 word(const uchar *bytes, int offset)
{
    return qFromLittleEndian<quint16>(bytes + offset);
}

void putWord(uchar *bytes, int offset, quint16 value)
{
    qToLittleEndian<quint16>(value, bytes + offset);
}

} // namespace

PcxHeader parsePcxHeader(const uchar *bytes)
{
    PcxHeader header;
    header.manufacturer = bytes[ManufacturerAt];
    header.version = bytes[VersionAt];
    header.encoding = bytes[EncodingAt];
    header.bitsPerPixel = bytes[BitsPerPixelAt];
    header.xMin = word(bytes, XMinAt);
    header.yMin = word(bytes, YMinAt);
    header.xMax = word(bytes, XMaxAt);
    header.yMax = word(bytes, YMaxAt);
    header.horizontalDpi = word(bytes, HorizontalDpiAt);
    header.verticalDpi = word(bytes, VerticalDpiAt);
    for (int i = 0; i < Pcx::HeaderPaletteEntries; ++i) {
        const uchar *entry = bytes + PaletteAt + 3 * i;
        header.palette[static_cast<size_t>(i)] = PcxColour{entry[0], entry[1], entry[2]};
    }
    header.reserved = bytes[ReservedAt];
    header.planes = bytes[PlanesAt];
    header.bytesPerLine = word(bytes, BytesPerLineAt);
    header.paletteInfo = word(bytes, PaletteInfoAt);
    return header;
}

void serializePcxHeader(const PcxHeader &header, uchar *bytes)
{
    std::memset(bytes, 0, Pcx::HeaderSize);
    bytes[ManufacturerAt] = header.manufacturer;
    bytes[VersionAt] = header.version;
    bytes[EncodingAt] = header.encoding;
    bytes[BitsPerPixelAt] = header.bitsPerPixel;
    putWord(bytes, XMinAt, header.xMin);
    putWord(bytes, YMinAt, header.yMin);
    putWord(bytes, XMaxAt, header.xMax);
    putWord(bytes, YMaxAt, header.yMax);
    putWord(bytes, HorizontalDpiAt, header.horizontalDpi);
    putWord(bytes, VerticalDpiAt, header.verticalDpi);
    for (int i = 0; i < Pcx::HeaderPaletteEntries; ++i) {
        uchar *entry = bytes + PaletteAt + 3 * i;
        const PcxColour &colour = header.palette[static_cast<size_t>(i)];
        entry[0] = colour.red;
        entry[1] = colour.green;
        entry[2] = colour.blue;
    }
    bytes[ReservedAt] = header.reserved;
    bytes[PlanesAt] = header.planes;
    putWord(bytes, BytesPerLineAt, header.bytesPerLine);
    putWord(bytes, PaletteInfoAt, header.paletteInfo);
}

PcxError checkPcxHeader(const PcxHeader &header)
{
    if (header.manufacturer != Pcx::Manufacturer)
        return PcxError::BadManufacturer;
    if (header.version < Pcx::MinVersion || header.version > Pcx::MaxVersion)
        return PcxError::BadVersion;
    if (header.encoding != Pcx::RunLengthEncoding)
        return PcxError::BadEncoding;
    if (header.reserved != 0)
        return PcxError::BadReserved;
    if (header.paletteInfo > Pcx::PaletteInfoGrey)
        return PcxError::BadPaletteInfo;
    return PcxError::None;
}

PcxError classifyPcx(const PcxHeader &header, PcxLayout &layout)
{
    layout = PcxLayout{};
    layout.planes = header.planes;
    layout.bitsPerPlane = header.bitsPerPixel;

    if (header.planes == 1) {
        // 1-bit files without palette information were black and white; deeper ones had colours.
        const quint16 unsetMeans = header.bitsPerPixel == 1 ? Pcx::PaletteInfoGrey : Pcx::PaletteInfoColour;
        const quint16 info = header.paletteInfo == Pcx::PaletteInfoUnset ? unsetMeans : header.paletteInfo;
        layout.greyLevels = info == Pcx::PaletteInfoGrey;
        switch (header.bitsPerPixel) {
        case 1:
            layout.formatCode = layout.greyLevels ? PcxFormatCode::OneBitGrey : PcxFormatCode::OneBitPalette;
            layout.paletteEntries = 2;
            break;
        case 4:
            layout.formatCode = layout.greyLevels ? PcxFormatCode::FourBitGrey : PcxFormatCode::FourBitPalette;
            layout.paletteEntries = 16;
            break;
        case 8:
            layout.formatCode = layout.greyLevels ? PcxFormatCode::EightBitGrey : PcxFormatCode::EightBitPalette;
            layout.paletteEntries = 256;
            // Even grey pictures must carry the block: its marker is what tells a complete file.
            layout.needsPaletteBlock = true;
            break;
        default:
            layout.greyLevels = false;
            return PcxError::UnsupportedLayout;
        }
        layout.bmpBitsPerPixel = header.bitsPerPixel;
        return PcxError::None;
    }
    if (header.planes == 3 && header.bitsPerPixel == 8) {
        layout.formatCode = PcxFormatCode::TrueColour;
        layout.bmpBitsPerPixel = 24;
        return PcxError::None;
    }
    if (header.planes == 4) {
        layout.formatCode = PcxFormatCode::FourPlanes;
        return PcxError::FourPlanes;
    }
    return PcxError::UnsupportedLayout;
}

PcxError pcxDimensions(const PcxHeader &header, int &width, int &height)
{
    if (header.xMax < header.xMin || header.yMax < header.yMin)
        return PcxError::InvertedBounds;
    width = header.xMax - header.xMin + 1;
    height = header.yMax - header.yMin + 1;
    return PcxError::None;
}
