#pragma once

#include "pictures/metafileheader.h"
#include "pictures/picture.h"

#include <QByteArray>
#include <QSize>

#include <functional>
#include <memory>

class QSvgRenderer;

// Turns the bytes of a metafile into SVG text: the program runs MetafileConverterProcess.
using MetafileConversion = std::function<MetafileError(const QByteArray &metafile, QByteArray &svg)>;

// A placeable WMF or an EMF, converted to SVG at load and drawn as vectors, scaled to the
// target rectangle.
class MetafilePicture : public Picture
{
    Q_OBJECT

public:
    explicit MetafilePicture(MetafileConversion convert);
    ~MetafilePicture() override;

    void loadFromData(const QByteArray &bytes) override;
    int width() const override { return m_size.width(); }
    int height() const override { return m_size.height(); }
    // Only the drawing size changes; the vectors are scaled to it.
    void setSize(int width, int height) override;
    void draw(QPainter &painter, const QRectF &target) override;
    // The SVG text, and a bitmap of the picture at its own size for programs without SVG.
    QMimeData *toMimeData() override;

    const QByteArray &svg() const { return m_svg; }

private:
    MetafileConversion m_convert;
    QSize m_size;
    QByteArray m_svg;
    std::unique_ptr<QSvgRenderer> m_renderer;
};
