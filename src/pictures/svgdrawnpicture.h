#pragma once

#include "pictures/picture.h"

#include <QByteArray>
#include <QColor>
#include <QSize>

#include <memory>
#include <optional>

class QSvgRenderer;

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
    // `clipboardBackground`: what shows through the bitmap put on the clipboard.
    explicit SvgDrawnPicture(QColor clipboardBackground);
    // Takes the drawing at `size`, or without one at the size the drawing declares; false (and
    // nothing changed) when Qt cannot render it, or it declares no size when it has to.
    bool adopt(QByteArray svg, std::optional<QSize> size = std::nullopt);

private:
    QColor m_clipboardBackground;
    QSize m_size;
    QByteArray m_svg;
    std::unique_ptr<QSvgRenderer> m_renderer;
};
