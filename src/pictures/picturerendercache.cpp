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
        m_pixmap = QPixmap(shown.size() * devicePixelRatio);
        if (m_pixmap.isNull())
            return;
        m_pixmap.setDevicePixelRatio(devicePixelRatio);
        m_pixmap.fill(Qt::transparent); // transparent pixels show what lies behind
        QPainter cachePainter(&m_pixmap);
        cachePainter.setRenderHint(QPainter::SmoothPixmapTransform);
        cachePainter.translate(-shown.topLeft());
        picture.draw(cachePainter, target);
        cachePainter.end();
        m_target = target;
        m_visible = shown;
        ++m_renderCount;
    }
    painter.drawPixmap(shown.topLeft(), m_pixmap);
}
