// Two games in one target, chosen by the first byte:
// - below 0x80: the rest describes a bitmap (depth, size, colour table, pixels, buffer sizes);
//   encoding it (the same bytes whatever the buffer and loops) and decoding the result must
//   give back the very same BMP file image;
// - from 0x80: the rest is handed to the encoder as a BMP file image, however malformed;
//   it must refuse or write a PCX file the decoder reads.

#include "pictures/pcx/bmpfile.h"
#include "pictures/pcx/pcxdecoder.h"
#include "pictures/pcx/pcxencoder.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdlib>
#include <cstring>

namespace {

class Reader
{
public:
    Reader(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    int byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    size_t left() const { return m_size - m_at; }
    const uint8_t *rest() const { return m_data + m_at; }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_at = 0;
};

constexpr int Depths[] = {1, 4, 8, 24};
constexpr qint32 SeventyTwoDpi = 2835; // survives the round trip through whole dots per inch

void roundTrip(Reader &in)
{
    BmpLayout layout;
    layout.bitsPerPixel = Depths[in.byte() % 4];
    layout.width = 1 + (in.byte() | (in.byte() & 1) << 8);  // 1..512
    layout.height = 1 + in.byte() % 64;
    layout.xPixelsPerMetre = layout.yPixelsPerMetre = SeventyTwoDpi;
    if (layout.bitsPerPixel <= 8) {
        layout.palette.resize(size_t(1) << layout.bitsPerPixel);
        for (PcxColour &colour : layout.palette)
            colour = PcxColour{quint8(in.byte()), quint8(in.byte()), quint8(in.byte())};
    }
    PcxEncoderOptions encoderOptions;
    encoderOptions.outputBufferSize = 1 + in.byte();
    PcxDecoderOptions decoderOptions;
    decoderOptions.inputBufferSize = 1 + in.byte();

    qint64 size = 0;
    layout.fileSize(size);
    QByteArray bmp(size, '\0');
    auto *bytes = reinterpret_cast<uchar *>(bmp.data());
    writeBmpHeaders(layout, bytes);
    // Pixels from the rest of the input, repeated; bits beyond the width and row padding stay
    // zero, as the decoder writes them.
    const qint64 rowBytes = (qint64(layout.width) * layout.bitsPerPixel + 7) / 8;
    const int spareBits = int(rowBytes * 8 - qint64(layout.width) * layout.bitsPerPixel);
    for (int y = 0; y < layout.height; ++y) {
        uchar *row = bytes + layout.pixelOffset() + qint64(y) * layout.rowSize();
        for (qint64 i = 0; i < rowBytes; ++i)
            row[i] = in.left() ? uchar(in.rest()[(qint64(y) * rowBytes + i) % qint64(in.left())]) : 0;
        row[rowBytes - 1] &= uchar(0xFF << spareBits);
    }

    PcxError error = PcxError::None;
    QByteArray pcx;
    {
        QBuffer out(&pcx);
        out.open(QIODevice::WriteOnly);
        error = PcxEncoder(encoderOptions).encode(bmp, out);
    }
    if (error != PcxError::None)
        std::abort();
    // The small buffer takes its bytes one run at a time; a full-size one has whole stretches
    // written in place, by the vector loops where the processor has them: the same bytes.
    PcxEncoderOptions portable;
    portable.loops = PcxLoops::Portable;
    if (PcxEncoder().encode(bmp) != pcx || PcxEncoder(portable).encode(bmp) != pcx)
        std::abort();
    // A 1-bit table of two blacks reads back as black and white, the way files that leave
    // the header palette at zero are meant.
    if (layout.bitsPerPixel == 1 && layout.palette[0] == PcxColour{} && layout.palette[1] == PcxColour{}) {
        layout.palette = greyPalette(2);
        writeBmpHeaders(layout, bytes);
    }
    const PcxDecodeResult back = PcxDecoder(decoderOptions).decode(pcx);
    if (!back.ok() || back.bmp != bmp)
        std::abort();
}

void encodeAnything(Reader &in)
{
    const QByteArray bmp(reinterpret_cast<const char *>(in.rest()), qsizetype(in.left()));
    PcxError error = PcxError::None;
    const QByteArray pcx = PcxEncoder().encode(bmp, &error);
    if (error != PcxError::None) {
        if (!pcx.isEmpty())
            std::abort();
        return;
    }
    if (!PcxDecoder().decode(pcx).ok())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Reader in(data, size);
    if (in.byte() < 0x80)
        roundTrip(in);
    else
        encodeAnything(in);
    return 0;
}
