#pragma once

#include "pictures/rasterpicture.h"

// A Windows icon file. Drawn at its own size from the target's top left corner; its size
// cannot be set and it cannot go to the clipboard.
class IconPicture : public RasterPicture
{
    Q_OBJECT

public:
    void loadFromData(const QByteArray &bytes) override;
    void setSize(int width, int height) override;
    void draw(QPainter &painter, const QRectF &target) override;
    QMimeData *toMimeData() override;
};
