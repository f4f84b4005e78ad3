#include "printing/printedpicture.h"

#include "pictures/jpegpicture.h"
#include "pictures/svgdrawnpicture.h"
#include "platform/apperror.h"

#include <QImage>
#include <QPainter>
#include <QtMath>

#include <algorithm>

namespace {

constexpr qreal PointsPerInch = 72;

void drawBitmap(QPainter &painter, const QRectF &target, const QImage &image)
{
    if (image.isNull())
        throw AppError(PrintedPicture::tr("Mémoire insuffisante"));
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image);
    painter.restore();
}

} // namespace

QSize PrintedPicture::dotsFor(const QRectF &target, qreal dotsPerPoint)
{
    const qreal dots = std::min(dotsPerPoint, MaximumDotsPerInch / PointsPerInch);
    return QSize(std::max(1, qCeil(target.width() * dots)), std::max(1, qCeil(target.height() * dots)));
}

void PrintedPicture::draw(Picture &picture, QPainter &painter, const QRectF &target, const QSize &dots)
{
    if (const auto *jpeg = qobject_cast<const JpegPicture *>(&picture)) {
        drawBitmap(painter, target, jpeg->decodedToCover(dots));
        return;
    }
    if (picture.needsPreparation())
        picture.prepare();
    const bool drawing = qobject_cast<const SvgDrawnPicture *>(&picture) != nullptr;
    if (drawing || (picture.width() <= dots.width() && picture.height() <= dots.height())) {
        picture.draw(painter, target);
        return;
    }
    // White below a transparent picture: the paper's own colour, and an opaque bitmap is half
    // the size of one with an alpha channel in the printed file.
    QImage scaled(dots, QImage::Format_RGB32);
    if (!scaled.isNull()) {
        scaled.fill(Qt::white);
        QPainter onBitmap(&scaled);
        onBitmap.setRenderHint(QPainter::SmoothPixmapTransform);
        picture.draw(onBitmap, QRectF(QPointF(0, 0), QSizeF(dots)));
    }
    drawBitmap(painter, target, scaled);
}
