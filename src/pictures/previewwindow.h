#pragma once

#include "pictures/picturerendercache.h"

#include <QDialog>

class Picture;

// "Prévisualiser": a modal, resizable tool window that shows one picture stretched over its
// whole client area; first sized to the picture plus 5 pixels on each side, centred on the
// screen. Escape closes it.
class PreviewWindow : public QDialog
{
    Q_OBJECT

public:
    explicit PreviewWindow(Picture &picture, QWidget *parent = nullptr);

    static constexpr int Border = 5;

protected:
    void paintEvent(QPaintEvent *event) override;

private Q_SLOTS:
    void pictureChanged();

private:
    Picture &m_picture;
    PictureRenderCache m_cache;
};
