#pragma once

#include <QPixmap>
#include <QRect>

class Picture;
class QPainter;

// Keeps the visible part of a picture as last drawn at one placement, so that repainting a
// frame copies pixels instead of scaling a large picture again. The owner invalidates it when
// the picture or the placement changes (Picture::changed, a resize).
class PictureRenderCache
{
public:
    void invalidate();

    // Draws the part of the picture placed at target that falls inside visible.
    void paint(QPainter &painter, Picture &picture, const QRect &target, const QRect &visible,
               qreal devicePixelRatio);

    // How many times the picture itself was drawn (the rest were copies).
    int renderCount() const { return m_renderCount; }

private:
    QPixmap m_pixmap;
    QRect m_target;
    QRect m_visible;
    int m_renderCount = 0;
};
