#pragma once

#include "pictures/metafileheader.h"
#include "pictures/svgdrawnpicture.h"

#include <QByteArray>

#include <functional>

// Turns the bytes of a metafile into SVG text: the program runs MetafileConverterProcess.
using MetafileConversion = std::function<MetafileError(const QByteArray &metafile, QByteArray &svg)>;

// A placeable WMF or an EMF, converted to SVG at load and drawn as vectors, scaled to the
// target rectangle; on the clipboard its bitmap is on white, as metafiles were pasted.
class MetafilePicture : public SvgDrawnPicture
{
    Q_OBJECT

public:
    explicit MetafilePicture(MetafileConversion convert);

    void loadFromData(const QByteArray &bytes) override;

private:
    MetafileConversion m_convert;
};
