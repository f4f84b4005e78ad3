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
// Its text is checked in the helper process, as metafiles are converted there: what it refers
// to outside itself is dropped, and a drawing too slow to draw is refused.
class SvgPicture : public SvgDrawnPicture
{
    Q_OBJECT

public:
    explicit SvgPicture(DrawingConversion convert);

    void loadFromData(const QByteArray &bytes) override;
};

// PNG, SVG and WebP, after the formats the program always knew. SVG files are checked by the
// registry's drawing conversion.
void registerWebFormats(PictureRegistry &registry);
