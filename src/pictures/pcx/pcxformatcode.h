#pragma once

#include <QtGlobal>

// What kind of PCX picture a TPCX holds. The numbers are stored and compared as such (a code
// above PcxFormatCode::TrueColour means "nothing to show"), so they must not be renumbered.
enum class PcxFormatCode : quint8 {
    OneBitPalette = 0,   // 1 bit per pixel, colours from the header palette
    OneBitGrey = 1,      // 1 bit per pixel, black and white
    FourBitPalette = 2,  // 4 bits per pixel in one plane, header palette
    FourBitGrey = 3,     // 4 bits per pixel in one plane, 16 grey levels
    EightBitPalette = 4, // 8 bits per pixel, palette block at the end of the file
    EightBitGrey = 5,    // 8 bits per pixel, 256 grey levels
    TrueColour = 6,      // three 8-bit planes: red, green, blue
    FourPlanes = 7,      // recognised, never decoded
    Other = 8,           // anything else
};

constexpr int pcxFormatCodeValue(PcxFormatCode code) { return static_cast<int>(code); }

// Codes 0 to 6 describe a picture that can be shown.
constexpr bool isDisplayable(PcxFormatCode code) { return code <= PcxFormatCode::TrueColour; }

// The BMP pixel depth that holds a picture of this code: 1, 4, 8 or 24; 0 for codes 7 and 8.
constexpr int bitsPerPixelFor(PcxFormatCode code)
{
    switch (code) {
    case PcxFormatCode::OneBitPalette:
    case PcxFormatCode::OneBitGrey:
        return 1;
    case PcxFormatCode::FourBitPalette:
    case PcxFormatCode::FourBitGrey:
        return 4;
    case PcxFormatCode::EightBitPalette:
    case PcxFormatCode::EightBitGrey:
        return 8;
    case PcxFormatCode::TrueColour:
        return 24;
    case PcxFormatCode::FourPlanes:
    case PcxFormatCode::Other:
        break;
    }
    return 0;
}

// The code a picture of the given pixel depth gets when it has no PCX of its own (a new
// picture follows the screen's depth, an assigned bitmap its own): 15, 16, 24 and 32 bits all
// become three-plane pictures; depths PCX cannot hold become Other.
constexpr PcxFormatCode formatCodeForDepth(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1:
        return PcxFormatCode::OneBitPalette;
    case 4:
        return PcxFormatCode::FourBitPalette;
    case 8:
        return PcxFormatCode::EightBitPalette;
    case 15:
    case 16:
    case 24:
    case 32:
        return PcxFormatCode::TrueColour;
    default:
        return PcxFormatCode::Other;
    }
}
