#pragma once

#include <QCoreApplication>
#include <QRectF>
#include <QSize>

class Picture;
class QPainter;

// A picture drawn on paper from a bitmap no larger than it is printed, so that a page of
// photographs costs what its printed dots cost, not the photographs' full size: a JPEG is
// decoded by libjpeg at a reduced scale; any other bitmap larger than needed is first drawn
// into one of the printed size, then let go; drawings (metafiles, SVG) draw themselves.
class PrintedPicture
{
    Q_DECLARE_TR_FUNCTIONS(PrintedPicture)

public:
    // Paper needs no more than this of a picture, whatever the printer's resolution.
    static constexpr qreal MaximumDotsPerInch = 300;

    // The size in dots of `target` (in points) on a device of `dotsPerPoint`, capped as above.
    static QSize dotsFor(const QRectF &target, qreal dotsPerPoint);

    // Draws `picture` into `target`, decoded to cover `dots`. Throws AppError with the picture
    // kind's French reason, or "Mémoire insuffisante" when no bitmap could be had.
    static void draw(Picture &picture, QPainter &painter, const QRectF &target, const QSize &dots);
};
