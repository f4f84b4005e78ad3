#pragma once

#include "pictures/jpegdecoder.h"
#include "pictures/picture.h"

#include <QByteArray>
#include <QImage>
#include <QString>

class PictureRegistry;

// A JPEG picture holds the compressed file; loading reads only the header. The picture is
// decoded once, by prepare() before its first drawing; later drawings reuse the bitmap.
// A decoding failure ("Erreur JPEG #%d") is thrown by that first prepare() only.
class JpegPicture : public Picture
{
    Q_OBJECT

public:
    // screenDepth: bits per pixel of the screen, read once at start-up; 8 or fewer selects
    // the quantised 8-bit output.
    explicit JpegPicture(int screenDepth);

    void loadFromData(const QByteArray &bytes) override;
    int width() const override { return m_header.width; }
    int height() const override { return m_header.height; }
    void setSize(int width, int height) override;

    bool needsPreparation() const override;
    void prepare() override;
    void draw(QPainter &painter, const QRectF &target) override;
    QMimeData *toMimeData() override;

    // For paper: the picture decoded afresh at the smallest eighth of its size that covers
    // `size`, in full colour whatever the screen; nothing is kept. Once the picture was
    // prepared for the screen, its bitmap is all there is. Throws "Erreur JPEG #%d".
    QImage decodedToCover(const QSize &size) const;

    const JpegHeader &header() const { return m_header; }
    // The decoded bitmap; null before prepare() or after a failure.
    const QImage &image() const { return m_image; }
    // How many times the compressed data was decoded (0 or 1).
    int decodeCount() const { return m_decodeCount; }

private:
    QString failureText(const JpegStatus &status) const;

    JpegDecodeOptions m_options;
    QByteArray m_bytes;
    JpegHeader m_header;
    QImage m_image;
    QString m_failure; // set once decoding failed
    int m_decodeCount = 0;
};

// The JPEG module's start-up registration: "jpeg" then "jpg", "JPEG Image File".
void registerJpegFormats(PictureRegistry &registry, int screenDepth);
