#include "app/artwork.h"

#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QSvgRenderer>

namespace {

// Draws the SVG at the size asked, when it is first painted: the tool bar's pictures cost
// nothing before the window shows them.
class ArtworkIconEngine : public QIconEngine
{
public:
    explicit ArtworkIconEngine(const QString &resource) : m_resource(resource) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size() * painter->device()->devicePixelRatio(), mode, state));
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        const QString key = QStringLiteral("%1x%2/%3").arg(size.width()).arg(size.height()).arg(int(mode));
        if (const auto found = m_cache.constFind(key); found != m_cache.constEnd())
            return *found;
        QPixmap drawn = artworkPixmap(m_resource, size);
        if (mode == QIcon::Disabled)
            drawn = QIcon(drawn).pixmap(size, QIcon::Disabled);
        m_cache.insert(key, drawn);
        return drawn;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine *clone() const override { return new ArtworkIconEngine(m_resource); }

private:
    QString m_resource;
    QHash<QString, QPixmap> m_cache;
};

} // namespace

QPixmap artworkPixmap(const QString &resource, QSize size, qreal devicePixelRatio)
{
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(resource);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

QIcon artworkIcon(const QString &resource)
{
    return QIcon(new ArtworkIconEngine(resource));
}
