#pragma once

#include "pictures/bitmappicture.h"
#include "pictures/picture.h"

#include <QByteArray>
#include <QSize>

#include <memory>

class PictureRegistry;
class QSvgRenderer;

// A raster picture of a web format (PNG, WebP), decoded at load by Qt's reader for that format
// and then handled like a bitmap.
class WebRasterPicture : public BitmapPicture
{
    Q_OBJECT

public:
    WebRasterPicture(const char *format, QString failureText);
    void loadFromData(const QByteArray &bytes) override;

private:
    const char *m_format;
    QString m_failureText;
};

// An SVG drawing, scaled to the target rectangle like a metafile.
class SvgPicture : public Picture
{
    Q_OBJECT

public:
    SvgPicture();
    ~SvgPicture() override;

    void loadFromData(const QByteArray &bytes) override;
    int width() const override { return m_size.width(); }
    int height() const override { return m_size.height(); }
    void setSize(int width, int height) override;
    void draw(QPainter &painter, const QRectF &target) override;
    // The SVG text, and a bitmap at its own size for programs without SVG.
    QMimeData *toMimeData() override;

private:
    QSize m_size;
    QByteArray m_svg;
    std::unique_ptr<QSvgRenderer> m_renderer;
};

// PNG, SVG and WebP, after the formats the program always knew.
void registerWebFormats(PictureRegistry &registry);
