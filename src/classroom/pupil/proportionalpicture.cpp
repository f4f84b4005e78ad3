#include "classroom/pupil/proportionalpicture.h"

#include <QPainter>

ProportionalPicture::ProportionalPicture(const PictureRegistry &registry, QWidget *parent)
    : QWidget(parent), m_holder(registry)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    connect(&m_holder, &PictureHolder::changed, this, qOverload<>(&QWidget::update));
}

bool ProportionalPicture::load(const QString &path)
{
    try {
        m_holder.loadFromFile(path);
        if (Picture *picture = m_holder.picture(); picture && picture->needsPreparation())
            picture->prepare();
    } catch (...) {
        // A missing or damaged picture must not keep a pupil from answering the question.
        m_holder.clear();
    }
    setVisible(!m_holder.isEmpty());
    return !m_holder.isEmpty();
}

void ProportionalPicture::clear()
{
    m_holder.clear();
    hide();
}

QRect ProportionalPicture::pictureRect() const
{
    if (m_holder.isEmpty())
        return {};
    QSize size(m_holder.width(), m_holder.height());
    size.scale(rect().size(), Qt::KeepAspectRatio);
    QRect placed(QPoint(), size);
    placed.moveCenter(rect().center());
    return placed;
}

void ProportionalPicture::paintEvent(QPaintEvent *)
{
    Picture *picture = m_holder.picture();
    if (!picture || m_holder.isEmpty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    try {
        picture->draw(painter, QRectF(pictureRect()));
    } catch (...) {
        // Nothing is drawn; the rest of the question stays readable.
    }
}
