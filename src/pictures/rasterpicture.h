#pragma once

#include "pictures/picture.h"

#include <QImage>

// Shared ground of the kinds Qt's own readers decode at load (bitmap, icon): the decoded image.
class RasterPicture : public Picture
{
    Q_OBJECT

public:
    int width() const override { return m_image.width(); }
    int height() const override { return m_image.height(); }
    const QImage &image() const { return m_image; }

protected:
    // Decodes with Qt's reader for that format; throws failureText when it refuses.
    void readImage(const QByteArray &bytes, const char *format, const QString &failureText);

    QImage m_image;
};
