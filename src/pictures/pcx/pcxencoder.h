#pragma once

#include "pictures/pcx/pcxerror.h"
#include "pictures/pcx/pcxheader.h"
#include "pictures/pcx/pcxruns.h"

#include <QByteArray>

class QIODevice;

struct PcxEncoderOptions
{
    int outputBufferSize = Pcx::DefaultBufferSize;
    // Written when the bitmap carries no resolution. A fixed value rather than one taken from
    // the screen: the same bitmap then always gives the same file.
    quint16 fallbackDpi = 96;
    PcxLoops loops = PcxLoops::Fastest;
};

struct PcxEncodeStats
{
    qint64 bytesWritten = 0;
    int bufferFlushes = 0;
};

// Translates an uncompressed BMP file image of 1, 4, 8 or 24 bits per pixel into PCX.
class PcxEncoder
{
public:
    explicit PcxEncoder(PcxEncoderOptions options = {});

    // Writes the whole PCX file at the device's current position. Every check happens before
    // the first byte is written: a bitmap that cannot be written leaves the device untouched.
    PcxError encode(const QByteArray &bmpFile, QIODevice &device, PcxEncodeStats *stats = nullptr) const;
    // The same, into memory; an empty array when the bitmap cannot be written.
    QByteArray encode(const QByteArray &bmpFile, PcxError *error = nullptr) const;

private:
    PcxEncoderOptions m_options;
};
