#pragma once

#include "pictures/metafileheader.h"
#include "pictures/picture.h"

#include <QByteArray>
#include <QColor>
#include <QSize>

#include <functional>
#include <memory>
#include <optional>

class QSvgRenderer;

// Where the SVG text of a drawing comes from: a metafile converted, or an SVG file's own text.
enum class DrawingSource { Metafile, Svg };

// Turns a file's bytes into the SVG text to draw: a metafile converted, an SVG file checked
// (svgWithoutOutsideReferences) and found to draw quickly enough. The program runs both in its
// helper process (MetafileConverterProcess), never in the window's.
using DrawingConversion = std::function<MetafileError(DrawingSource source, const QByteArray &input, QByteArray &svg)>;

// A picture drawn from SVG text as vectors, scaled to the target rectangle: an SVG file, or a
// metafile once converted. Only the drawing size changes with setSize().
class SvgDrawnPicture : public Picture
{
    Q_OBJECT

public:
    ~SvgDrawnPicture() override;

    int width() const override { return m_size.width(); }
    int height() const override { return m_size.height(); }
    void setSize(int width, int height) override;
    void draw(QPainter &painter, const QRectF &target) override;
    // The SVG text, and a bitmap at the picture's own size for programs without SVG.
    QMimeData *toMimeData() override;

    const QByteArray &svg() const { return m_svg; }

protected:
    // What a failure says: `damaged` for a file the conversion refused, and for the other
    // causes a sentence about `subject` ("le métafichier", "l'image SVG").
    struct FailureTexts
    {
        QString damaged;
        QString subject;
    };

    // `clipboardBackground`: what shows through the bitmap put on the clipboard.
    SvgDrawnPicture(DrawingConversion convert, QColor clipboardBackground, FailureTexts texts);

    // Converts the bytes and takes the drawing at `size`, or without one at the size the
    // drawing declares. Throws the text naming why when the conversion fails, Qt cannot render
    // its result, or the drawing declares no size when it has to; nothing changes then.
    void loadDrawing(DrawingSource source, const QByteArray &bytes, std::optional<QSize> size = std::nullopt);
    // The failure a damaged file gives.
    const QString &damagedText() const { return m_texts.damaged; }

private:
    bool adopt(QByteArray svg, std::optional<QSize> size);
    QString failureText(MetafileError error) const;

    DrawingConversion m_convert;
    QColor m_clipboardBackground;
    FailureTexts m_texts;
    QSize m_size;
    QByteArray m_svg;
    std::unique_ptr<QSvgRenderer> m_renderer;
};
