#include "pictures/svgdrawnpicture.h"

#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QSvgRenderer>

SvgDrawnPicture::SvgDrawnPicture(QColor clipboardBackground) : m_clipboardBackground(clipboardBackground) {}

SvgDrawnPicture::~SvgDrawnPicture() = default;

bool SvgDrawnPicture::adopt(QByteArray svg, std::optional<QSize> size)
{
    auto renderer = std::make_unique<QSvgRenderer>(svg);
    if (!renderer->isValid() || (!size && renderer->defaultSize().isEmpty()))
        return false;
    m_size = size.value_or(renderer->defaultSize());
    m_svg = std::move(svg);
    m_renderer = std::move(renderer);
    return true;
}

void SvgDrawnPicture::setSize(int width, int height)
{
    m_size = QSize(std::max(width, 0), std::max(height, 0));
    Q_EMIT changed();
}

void SvgDrawnPicture::draw(QPainter &painter, const QRectF &target)
{
    if (m_renderer && !isEmpty())
        m_renderer->render(&painter, target);
}

QMimeData *SvgDrawnPicture::toMimeData()
{
    auto *data = new QMimeData;
    data->setData(QStringLiteral("image/svg+xml"), m_svg);
    if (!isEmpty()) {
        QImage image(m_size, QImage::Format_ARGB32_Premultiplied);
        if (!image.isNull()) {
            image.fill(m_clipboardBackground);
            QPainter painter(&image);
            draw(painter, QRectF(QPointF(0, 0), QSizeF(m_size)));
            painter.end();
            data->setImageData(image);
        }
    }
    return data;
}
