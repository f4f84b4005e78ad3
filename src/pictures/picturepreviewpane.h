#pragma once

#include "pictures/picturerendercache.h"

#include <QWidget>

class PicturePreview;

// The pane of the picture-choice dialog: the selected picture placed by the preview rule, or
// "(vide)" centred.
class PicturePreviewPane : public QWidget
{
    Q_OBJECT

public:
    explicit PicturePreviewPane(PicturePreview &preview, QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private Q_SLOTS:
    void previewChanged();

private:
    PicturePreview &m_preview;
    PictureRenderCache m_cache;
};
