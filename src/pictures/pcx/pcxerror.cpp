#include "pictures/pcx/pcxerror.h"

const char *pcxErrorName(PcxError error)
{
    switch (error) {
    case PcxError::None: return "None";
    case PcxError::HeaderTooShort: return "HeaderTooShort";
    case PcxError::BadManufacturer: return "BadManufacturer";
    case PcxError::BadVersion: return "BadVersion";
    case PcxError::BadEncoding: return "BadEncoding";
    case PcxError::BadReserved: return "BadReserved";
    case PcxError::BadPaletteInfo: return "BadPaletteInfo";
    case PcxError::FourPlanes: return "FourPlanes";
    case PcxError::UnsupportedLayout: return "UnsupportedLayout";
    case PcxError::InvertedBounds: return "InvertedBounds";
    case PcxError::BadBytesPerLine: return "BadBytesPerLine";
    case PcxError::MissingPaletteBlock: return "MissingPaletteBlock";
    case PcxError::TooLarge: return "TooLarge";
    case PcxError::TruncatedData: return "TruncatedData";
    case PcxError::ReadFailed: return "ReadFailed";
    case PcxError::UnsupportedBitmap: return "UnsupportedBitmap";
    case PcxError::MalformedBitmap: return "MalformedBitmap";
    case PcxError::TooWide: return "TooWide";
    case PcxError::WriteFailed: return "WriteFailed";
    }
    return "Unknown";
}
