// Any byte string as a PCX file: decoding must never crash, read or write out of bounds, or
// allocate beyond the memory limit (run with -malloc_limit_mb a little above it). The input
// buffer size must not change the outcome, and every image made must be a sound BMP file
// that the encoder takes back.

#include "pictures/pcx/bmpfile.h"
#include "pictures/pcx/pcxdecoder.h"
#include "pictures/pcx/pcxencoder.h"

#include <QByteArray>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray file = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const PcxDecodeResult result = PcxDecoder().decode(file);

    PcxDecoderOptions small;
    small.inputBufferSize = 7;
    const PcxDecodeResult again = PcxDecoder(small).decode(file);
    if (again.error != result.error || again.formatCode != result.formatCode || again.bmp != result.bmp)
        std::abort();
    if (!result.ok()) {
        if (!result.bmp.isEmpty())
            std::abort();
        return 0;
    }

    if (result.bmp.size() > PcxDecoderOptions().maxImageBytes)
        std::abort();
    BmpLayout layout;
    qint64 pixelOffset = 0;
    if (parseBmpFile(result.bmp, layout, pixelOffset) != PcxError::None)
        std::abort();
    // Small pictures only: the encoder's own speed is the round-trip target's business.
    if (result.bmp.size() < 1 << 20) {
        PcxError error = PcxError::None;
        const QByteArray pcx = PcxEncoder().encode(result.bmp, &error);
        if (error != PcxError::None && error != PcxError::TooWide)
            std::abort();
        if (error == PcxError::None) {
            const PcxDecodeResult back = PcxDecoder().decode(pcx);
            // Pixels and colours come back; only the resolution may be rounded.
            if (!back.ok() || back.bmp.size() != result.bmp.size()
                || back.bmp.mid(54) != result.bmp.mid(54))
                std::abort();
        }
    }
    return 0;
}
