#include "pictures/picturepreviewpane.h"

#include "pictures/picturepreview.h"

#include <QPainter>

PicturePreviewPane::PicturePreviewPane(PicturePreview &preview, QWidget *parent)
    : QWidget(parent), m_preview(preview)
{
    setMinimumSize(150, 150);
    connect(&m_preview, &PicturePreview::changed, this, &PicturePreviewPane::previewChanged);
}

QSize PicturePreviewPane::sizeHint() const
{
    return QSize(180, 180);
}

void PicturePreviewPane::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Picture *picture = m_preview.holder().picture();
    if (!m_preview.hasPicture() || !picture || picture->needsPreparation()) {
        painter.drawText(rect(), Qt::AlignCenter, PicturePreview::emptyText());
        return;
    }
    m_cache.paint(painter, *picture, m_preview.paneRect(size()), rect(), devicePixelRatioF());
}

void PicturePreviewPane::previewChanged()
{
    m_cache.invalidate();
    update();
}
