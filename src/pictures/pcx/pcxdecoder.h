#pragma once

#include "pictures/pcx/pcxerror.h"
#include "pictures/pcx/pcxformatcode.h"
#include "pictures/pcx/pcxheader.h"

#include "pictures/pcx/bmpfile.h"

#include <QByteArray>

#include <functional>

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

// Pixel rows that the caller holds (a toolkit image), which decodeInto() fills directly: one
// pass over the pixels instead of a BMP file image first and the caller's copy of it after.
struct PcxPixelRows
{
    enum class Packing {
        AsBmp,      // as in a BMP file: 1, 4 and 8 bits as they are, 24 bits as blue, green, red
        Unpacked,   // 4-bit pixels one index per byte, 24-bit pixels as 32-bit 0xffRRGGBB words
    };

    uchar *firstLine = nullptr; // the row of the file's first scan line; null: no memory
    qint64 step = 0;            // from one scan line's row to the next (negative: bottom-up)
    qint64 rowBytes = 0;        // bytes of one row; those after the pixels are zeroed
    Packing packing = Packing::AsBmp;
};

// Translates one PCX file into an in-memory Windows BMP file image.
class PcxDecoder
{
public:
    // Given the picture's shape once the header is read (size, depth, colour table and
    // resolution as the BMP file image would hold them), gives the rows to fill.
    using RowAllocator = std::function<PcxPixelRows(const BmpLayout &layout)>;

    explicit PcxDecoder(PcxDecoderOptions options = {});

    // The file starts at the device's offset 0 and occupies the whole device: the 8-bit
    // palette block is looked for at its end. Sequential devices are read whole first.
    PcxDecodeResult decode(QIODevice &device) const;
    PcxDecodeResult decode(const QByteArray &file) const;
    // The same decoding into rows the caller allocates; the result holds no BMP file image.
    // Rows that cannot be had (a null firstLine) refuse the file as TooLarge.
    PcxDecodeResult decodeInto(const QByteArray &file, const RowAllocator &allocate) const;
    PcxDecodeResult decodeInto(QIODevice &device, const RowAllocator &allocate) const;

    const PcxDecoderOptions &options() const { return m_options; }

private:
    // memory: the same file as device when it is already in memory, so the pixel data is read
    // from it in place.
    PcxDecodeResult decodeRandomAccess(QIODevice &device, const QByteArray *memory,
                                       const RowAllocator *allocate) const;

    PcxDecoderOptions m_options;
};
