#pragma once

#include "pictures/bitmappicture.h"
#include "pictures/svgdrawnpicture.h"

#include <QByteArray>

class PictureRegistry;

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

// An SVG drawing, scaled to the target rectangle like a metafile; transparent on the clipboard.
class SvgPicture : public SvgDrawnPicture
{
    Q_OBJECT

public:
    SvgPicture();

    void loadFromData(const QByteArray &bytes) override;
};

// PNG, SVG and WebP, after the formats the program always knew.
void registerWebFormats(PictureRegistry &registry);
