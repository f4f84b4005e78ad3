#include "pictures/picturerendercache.h"

#include "pictures/picture.h"

#include <QPainter>

void PictureRenderCache::invalidate()
{
    m_pixmap = QPixmap();
    m_target = QRect();
    m_visible = QRect();
}

void PictureRenderCache::paint(QPainter &painter, Picture &picture, const QRect &target,
                               const QRect &visible, qreal devicePixelRatio)
{
    const QRect shown = target.intersected(visible);
    if (shown.isEmpty())
        return;
    if (m_pixmap.isNull() || m_target != target || m_visible != shown) {
        // Drawn aside and kept only when complete: a picture that announces a change while it
        // draws may have the cache invalidated under it.
        QPixmap pixmap(shown.size() * devicePixelRatio);
        if (pixmap.isNull())
            return;
        pixmap.setDevicePixelRatio(devicePixelRatio);
        pixmap.fill(Qt::transparent); // transparent pixels show what lies behind
        QPainter cachePainter(&pixmap);
        cachePainter.setRenderHint(QPainter::SmoothPixmapTransform);
        cachePainter.translate(-shown.topLeft());
        picture.draw(cachePainter, target);
        cachePainter.end();
        m_pixmap = pixmap;
        m_target = target;
        m_visible = shown;
        ++m_renderCount;
    }
    painter.drawPixmap(shown.topLeft(), m_pixmap);
}
