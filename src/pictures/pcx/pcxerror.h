#pragma once

// What went wrong below the picture layer. The codec never turns these into messages: the
// picture kind decides what the person at the keyboard sees (for reading: nothing at all).
enum class PcxError {
    None,
    // Reading
    HeaderTooShort,       // fewer than 128 bytes
    BadManufacturer,      // byte 0 is not 10
    BadVersion,           // byte 1 outside 1..5
    BadEncoding,          // byte 2 is not 1 (run-length)
    BadReserved,          // byte 64 is not 0
    BadPaletteInfo,       // palette information above 2
    FourPlanes,           // the 16-colour kind of four bit planes: recognised, never decoded
    UnsupportedLayout,    // any other combination of planes and bits
    InvertedBounds,       // x or y maximum below its minimum
    BadBytesPerLine,      // a plane line too short to hold the picture's width
    MissingPaletteBlock,  // 8-bit picture without the byte 12 769 bytes before the end
    TooLarge,             // the BMP image would exceed the memory limit
    TruncatedData,        // the pixel data ends before the last scan line
    ReadFailed,           // the device refused to read or seek
    // Writing
    UnsupportedBitmap,    // not an uncompressed 1, 4, 8 or 24-bit BMP
    MalformedBitmap,      // the BMP image is cut short or its headers contradict each other
    TooWide,              // a plane line would not fit the 16-bit bytes-per-line field
    WriteFailed,          // the device refused the bytes
};

// A short English name for test failure output and debugging; never shown to users.
const char *pcxErrorName(PcxError error);
