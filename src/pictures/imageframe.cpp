#include "pictures/imageframe.h"

#include "pictures/picturefit.h"
#include "platform/errorguard.h"

#include <QPainter>
#include <QPaintEvent>
#include <QTimer>

ImageFrame::ImageFrame(const PictureRegistry &registry, MessageBoxes &boxes, QWidget *parent)
    : QWidget(parent), m_holder(registry), m_boxes(boxes)
{
    connect(&m_holder, &PictureHolder::changed, this, &ImageFrame::pictureChanged);
}

void ImageFrame::setStretch(bool stretch)
{
    m_fitted = false;
    applyStretch(stretch);
}

void ImageFrame::applyStretch(bool stretch)
{
    if (m_stretch == stretch)
        return;
    m_stretch = stretch;
    m_cache.invalidate();
    update();
}

void ImageFrame::setCenter(bool center)
{
    if (m_center == center)
        return;
    m_center = center;
    m_cache.invalidate();
    update();
}

void ImageFrame::Echelle()
{
    m_fitted = true;
    applyStretch(echelleStretches(size(), QSize(m_holder.width(), m_holder.height())));
}

void ImageFrame::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_fitted)
        applyStretch(echelleStretches(size(), QSize(m_holder.width(), m_holder.height())));
}

QRect ImageFrame::pictureRect() const
{
    return pictureRectInBox(size(), QSize(m_holder.width(), m_holder.height()), m_stretch, m_center);
}

QSize ImageFrame::sizeHint() const
{
    return QSize(280, 215);
}

void ImageFrame::paintEvent(QPaintEvent *)
{
    Picture *picture = m_holder.picture();
    if (!picture || picture->isEmpty())
        return;
    if (picture->needsPreparation()) {
        // The first drawing may fail (damaged JPEG data); that work runs from the event loop
        // inside the error guard, so a failure is shown once and never from a paint event.
        if (!m_preparationScheduled) {
            m_preparationScheduled = true;
            QTimer::singleShot(0, this, &ImageFrame::preparePicture);
        }
        return;
    }
    QPainter painter(this);
    m_cache.paint(painter, *picture, pictureRect(), rect(), devicePixelRatioF());
}

void ImageFrame::pictureChanged()
{
    m_cache.invalidate();
    update();
}

void ImageFrame::preparePicture()
{
    m_preparationScheduled = false;
    if (Picture *picture = m_holder.picture(); picture && picture->needsPreparation())
        runGuarded(m_boxes, [picture] { picture->prepare(); });
    m_cache.invalidate();
    update();
}
