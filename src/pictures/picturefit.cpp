#include "pictures/picturefit.h"

#include <algorithm>

bool echelleStretches(QSize box, QSize picture)
{
    return picture.height() > box.height() && picture.width() > box.width();
}

QRect pictureRectInBox(QSize box, QSize picture, bool stretch, bool center)
{
    if (stretch)
        return QRect(QPoint(0, 0), box);
    QRect rect(QPoint(0, 0), picture);
    if (center)
        rect.moveTo((box.width() - picture.width()) / 2, (box.height() - picture.height()) / 2);
    return rect;
}

QRect previewRect(QSize pane, QSize picture)
{
    if (picture.isEmpty())
        return QRect();
    if (picture.width() <= pane.width() && picture.height() <= pane.height())
        return pictureRectInBox(pane, picture, false, true);
    // 64-bit products: picture sides can reach the 32-bit range.
    if (picture.width() > picture.height()) {
        const qint64 h = qint64(picture.height()) * pane.width() / picture.width();
        return QRect(0, 0, pane.width(), int(std::max<qint64>(h, 1)));
    }
    const qint64 w = qint64(picture.width()) * pane.height() / picture.height();
    return QRect(0, 0, int(std::max<qint64>(w, 1)), pane.height());
}
