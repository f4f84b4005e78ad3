#pragma once

#include "pictures/pcx/pcxdecoder.h"

#include <QByteArray>
#include <QImage>
#include <QList>

#include <functional>

class QPainter;

// The bitmap a PCX picture keeps: pixels in a QImage, plus the pixel depth the picture is
// written with. Qt has no 4-bit image format, so a 4-bit bitmap is an 8-bit indexed image with
// at most 16 colours; a 24-bit one is an RGB32 image, as Qt itself holds 24-bit files. The
// size may be 0 in one direction while the other is kept, which a QImage cannot express.
class PcxBitmap
{
public:
    // depth: 1, 4, 8 or 24, or any other depth a screen or an assigned image may have
    // (such a bitmap is kept but cannot be written as PCX).
    explicit PcxBitmap(int depth = 24);

    int width() const { return m_width; }
    int height() const { return m_height; }
    int depth() const { return m_depth; }
    bool hasPixels() const { return !m_image.isNull(); }
    const QImage &image() const { return m_image; }

    // Loads an uncompressed BMP file image of 1, 4, 8 or 24 bits; the depth becomes the
    // file's. False (and the bitmap unchanged) for any other file or when memory runs out.
    bool loadBmp(const QByteArray &bmpFile);
    // Decodes a PCX file straight into the bitmap's pixels, one pass and no BMP file image in
    // between. On failure the bitmap is unchanged; the result says why.
    PcxDecodeResult decode(const PcxDecoder &decoder, const QByteArray &pcxFile);
    PcxDecodeResult decode(const PcxDecoder &decoder, QIODevice &pcxFile);

    // The bitmap as an uncompressed BMP file image at its depth, bottom-up; empty when it has
    // no pixels or a depth other than 1, 4, 8 or 24.
    QByteArray toBmp() const;

    // Copies a toolkit bitmap; the depth becomes the image's own (see depthOf()).
    void setImage(const QImage &image);
    // New area is colour index 0 (or black); the top left part is kept.
    void setWidth(int width);
    void setHeight(int height);
    // Converts the pixels to 1, 4, 8 or 24 bits; reducing colours dithers as Qt does.
    // Other depths are refused (the bitmap stays as it is).
    void setDepth(int depth);
    void clear();

    QList<QRgb> palette() const { return m_colourTable; }
    // Replaces the colour table of an indexed bitmap, cut or padded with black to the number
    // of colours its depth allows; a 24-bit bitmap has none and ignores it.
    void setPalette(const QList<QRgb> &colours);

    // Draws with a QPainter whatever the depth (Qt cannot paint on indexed images: they are
    // painted in full colour and mapped back to their own colour table).
    void paint(const std::function<void(QPainter &)> &painter);
    // Row 0 is the top; null outside the bitmap.
    uchar *scanLine(int row);
    // Gives this copy pixel storage of its own.
    void detach();

    // 1 and 8 for Qt's 1 and 8-bit formats, 24 for RGB888, 32 for the 32-bit ones, 15 and 16
    // for the 16-bit ones, otherwise Qt's own depth (30, 48, 64...).
    static int depthOf(const QImage &image);

private:
    template <typename Source>
    PcxDecodeResult decodeFrom(const PcxDecoder &decoder, Source &pcxFile);
    void adopt(QImage image, int depth);
    void resize(int width, int height);
    QImage::Format storageFormat() const;

    QImage m_image;
    QList<QRgb> m_colourTable;
    int m_width = 0;
    int m_height = 0;
    int m_depth = 24;
};
