#pragma once

#include "pictures/pcx/pcxerror.h"
#include "pictures/pcx/pcxformatcode.h"
#include "pictures/pcx/pcxheader.h"

#include <QByteArray>

class QIODevice;

struct PcxDecoderOptions
{
    int inputBufferSize = Pcx::DefaultBufferSize;
    // Largest BMP file image a header may ask for, checked before anything is allocated.
    // 256 MiB holds an 8-bit 16384 x 16384 picture or a 24-bit 9000 x 9000 photograph,
    // far beyond what a question shows.
    qint64 maxImageBytes = qint64(256) * 1024 * 1024;
};

struct PcxDecodeResult
{
    PcxError error = PcxError::None;
    // Known as soon as the header has been classified, so also for some refused files
    // (FourPlanes for the 16-colour kind); Other when the header itself was refused.
    PcxFormatCode formatCode = PcxFormatCode::Other;
    // The complete BMP file image: headers, colour table, rows bottom-up. Empty on failure.
    QByteArray bmp;
    // Buffer refills while decoding the scan lines (lets tests check that runs survive them).
    int inputRefills = 0;

    bool ok() const { return error == PcxError::None; }
};

// Translates one PCX file into an in-memory Windows BMP file image.
class PcxDecoder
{
public:
    explicit PcxDecoder(PcxDecoderOptions options = {});

    // The file starts at the device's offset 0 and occupies the whole device: the 8-bit
    // palette block is looked for at its end. Sequential devices are read whole first.
    PcxDecodeResult decode(QIODevice &device) const;
    PcxDecodeResult decode(const QByteArray &file) const;

    const PcxDecoderOptions &options() const { return m_options; }

private:
    // memory: the same file as device when it is already in memory, so the pixel data is read
    // from it in place.
    PcxDecodeResult decodeRandomAccess(QIODevice &device, const QByteArray *memory) const;

    PcxDecoderOptions m_options;
};
