#pragma once

#include "pictures/rasterpicture.h"

// A Windows bitmap file, decoded at load and drawn stretched.
class BitmapPicture : public RasterPicture
{
    Q_OBJECT

public:
    void loadFromData(const QByteArray &bytes) override;
    // Keeps the top left part, new area white, as a bitmap canvas grows.
    void setSize(int width, int height) override;
    void draw(QPainter &painter, const QRectF &target) override;
    QMimeData *toMimeData() override;
};
