#pragma once

#include <QByteArray>
#include <QSize>

// The fixed start of a GIF file: signature, version and logical screen descriptor.

enum class GifHeaderError {
    None,
    BadSignature, // not "GIF"
    BadVersion,   // neither "87a" nor "89a"
    Truncated,    // the logical screen descriptor is cut short
};

struct GifHeader
{
    QSize screenSize;
    bool globalColourTable = false;
};

constexpr int GifHeaderSize = 13; // signature (3), version (3), screen descriptor (7)

GifHeaderError readGifHeader(const QByteArray &bytes, GifHeader &header);
