#pragma once

#include "pictures/pcx/pcxbitmap.h"
#include "pictures/pcx/pcxdecoder.h"
#include "pictures/pcx/pcxencoder.h"
#include "pictures/pcx/pcxformatcode.h"
#include "pictures/picture.h"

#include <QList>
#include <QRgb>

#include <functional>

class PictureRegistry;
class QIODevice;

// The PCX picture kind. It translates PCX files to and from BMP file images with the codec and
// keeps the picture in a bitmap. Reading never fails for bad content: a file it cannot decode
// gives an empty picture of size 0 by 0 and no message. The one reading failure is a picture
// too large for the memory limit ("Plus de mémoire lors de l'expansion du flux mémoire").
class TPCX : public Picture
{
    Q_OBJECT

public:
    // The format code of a new picture follows the screen's colour depth (1, 4, 8 bits; 15 to
    // 32 bits give three-plane pictures; anything else gives PcxFormatCode::Other).
    explicit TPCX(int screenDepth, PcxDecoderOptions decoderOptions = {}, PcxEncoderOptions encoderOptions = {});

    // Streams the file through the decoder's input buffer: no copy of the whole file.
    void loadFromFile(const QString &path) override;
    void loadFromData(const QByteArray &bytes) override;
    int width() const override;
    int height() const override;
    bool isEmpty() const override { return m_empty; }
    void setSize(int width, int height) override;
    void draw(QPainter &painter, const QRectF &target) override;
    // The clipboard has no PCX format: the picture goes there as its bitmap, so that a copy
    // never leaves the author with an empty clipboard and no word of it.
    QMimeData *toMimeData() override;

    // The whole device, from its offset 0, is one PCX file.
    void loadFromStream(QIODevice &stream);
    // Writes the PCX file at the stream's position. A bitmap PCX cannot hold (not 1, 4, 8 or
    // 24 bits, or too wide for the bytes-per-line field) writes nothing and reports nothing.
    void saveToStream(QIODevice &stream) const;
    // Replaces the file only once it is completely written.
    void saveToFile(const QString &path) const;
    // The form kept inside stored components: a 32-bit little-endian byte count, then the file.
    void readEmbeddedData(QIODevice &stream);
    void writeEmbeddedData(QIODevice &stream) const;

    void setWidth(int width);
    void setHeight(int height);
    QList<QRgb> palette() const { return m_bitmap.palette(); }
    void setPalette(const QList<QRgb> &colours);

    PcxFormatCode formatCode() const { return m_formatCode; }
    // Codes above TrueColour make the picture empty; the bitmap's depth follows codes 0 to 6.
    void setFormatCode(PcxFormatCode code);

    // From another PCX picture or from a bitmap picture; anything else fails with
    // "Ne peut affecter %s à %s".
    void assign(const Picture &source);
    void assign(const TPCX &source);
    void assign(const QImage &bitmap);

    // The bitmap's drawing surface.
    void paintOnCanvas(const std::function<void(QPainter &)> &paint);
    // One pixel row of the bitmap, row 0 at the top; null outside it. 4-bit bitmaps are held
    // one index per byte.
    uchar *scanLine(int row);

    const PcxBitmap &bitmap() const { return m_bitmap; }

private:
    void takeDecoded(const PcxDecodeResult &result);
    void becomeEmpty();
    void reconsiderEmptiness();

    PcxDecoder m_decoder;
    PcxEncoder m_encoder;
    PcxBitmap m_bitmap;
    bool m_empty = true;
    PcxFormatCode m_formatCode = PcxFormatCode::Other;
};

// The PCX module's registration at start-up ("pcx", "PCX"); each new picture asks screenDepth
// for the current depth. The default asks the primary screen.
void registerPcx(PictureRegistry &registry);
void registerPcx(PictureRegistry &registry, std::function<int()> screenDepth);
// At the end: removes every PCX entry.
void unregisterPcx(PictureRegistry &registry);
