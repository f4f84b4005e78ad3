#pragma once

#include "pictures/svgdrawnpicture.h"

#include <QByteArray>

// A placeable WMF or an EMF, converted to SVG at load and drawn as vectors, scaled to the
// target rectangle; on the clipboard its bitmap is on white, as metafiles were pasted.
class MetafilePicture : public SvgDrawnPicture
{
    Q_OBJECT

public:
    explicit MetafilePicture(DrawingConversion convert);

    void loadFromData(const QByteArray &bytes) override;
};
