#include "pictures/svgdrawingcheck.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <ctime>

namespace {

// About the largest picture frame on a common screen.
const QSize TrialCanvas(1024, 768);

std::chrono::milliseconds processorTimeSince(std::clock_t start)
{
    return std::chrono::milliseconds((std::clock() - start) * 1000 / CLOCKS_PER_SEC);
}

} // namespace

bool drawsWithinBudget(const QByteArray &svg, QSize pictureSize, std::chrono::milliseconds budget)
{
    // Processor time, not the clock on the wall: other programs keeping the machine busy must
    // not make a picture fail.
    const std::clock_t start = std::clock();
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return true; // nothing will be drawn; the picture fails on its own
    if (processorTimeSince(start) > budget)
        return false;
    const QSize size = pictureSize.isEmpty() ? TrialCanvas
                                             : pictureSize.scaled(TrialCanvas, Qt::KeepAspectRatio)
                                                   .expandedTo(QSize(1, 1));
    QImage canvas(size, QImage::Format_ARGB32_Premultiplied);
    if (canvas.isNull())
        return false;
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    renderer.render(&painter, QRectF(canvas.rect()));
    painter.end();
    return processorTimeSince(start) <= budget;
}
