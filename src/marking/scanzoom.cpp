#include "marking/scanzoom.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

// Pictures are never enlarged past this: a blur the size of a box helps nobody.
constexpr double MaximumZoom = 2.0;

} // namespace

ScanZoom::ScanZoom(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setCursor(Qt::PointingHandCursor);
}

void ScanZoom::display(const QImage &picture, const std::vector<QRectF> &boxes, int chosen)
{
    display(picture, boxes, chosen < 0 ? std::vector<int>() : std::vector<int>{chosen});
}

void ScanZoom::display(const QImage &picture, const std::vector<QRectF> &boxes, std::vector<int> chosen)
{
    m_picture = picture;
    m_boxes = boxes;
    m_chosen = std::move(chosen);
    updateGeometry();
    update();
}

bool ScanZoom::isChosen(int index) const
{
    return std::find(m_chosen.begin(), m_chosen.end(), index) != m_chosen.end();
}

void ScanZoom::clear()
{
    display(QImage(), {}, -1);
}

double ScanZoom::scale() const
{
    if (m_picture.isNull())
        return 1;
    return std::min(MaximumZoom, double(width()) / m_picture.width());
}

QRectF ScanZoom::boxOnWidget(int index) const
{
    if (index < 0 || index >= int(m_boxes.size()))
        return {};
    const double s = scale();
    const QRectF &box = m_boxes[size_t(index)];
    return QRectF(box.topLeft() * s, box.size() * s);
}

QSize ScanZoom::sizeHint() const
{
    return m_picture.isNull() ? QSize(400, 100) : QSize(m_picture.width(), m_picture.height());
}

int ScanZoom::heightForWidth(int width) const
{
    if (m_picture.isNull())
        return 100;
    return int(m_picture.height() * std::min(MaximumZoom, double(width) / m_picture.width()));
}

void ScanZoom::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    if (m_picture.isNull())
        return;
    const double s = scale();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(0, 0, m_picture.width() * s, m_picture.height() * s), m_picture);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < int(m_boxes.size()); ++i) {
        const QRectF box = boxOnWidget(i).adjusted(-3, -3, 3, 3);
        // Blue and orange: told apart by every kind of colour vision.
        painter.setPen(isChosen(i) ? QPen(QColor(0, 90, 200), 3) : QPen(QColor(230, 120, 0), 1.5, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box);
    }
}

void ScanZoom::mousePressEvent(QMouseEvent *event)
{
    for (int i = 0; i < int(m_boxes.size()); ++i) {
        // A little room around each box: a click is not a pen.
        if (boxOnWidget(i).adjusted(-6, -6, 6, 6).contains(event->position())) {
            Q_EMIT boxClicked(i);
            return;
        }
    }
    QWidget::mousePressEvent(event);
}
