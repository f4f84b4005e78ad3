#pragma once

#include "pictures/pictureholder.h"
#include "pictures/picturerendercache.h"

#include <QWidget>

class MessageBoxes;
class PictureRegistry;

// The picture box (Image1 of the question sheet and the runner): shows the picture of its
// holder, stretched to the whole box or at its own size (centred or from the top left).
// Echelle() applies the sheet's fitting rule. Drawings are cached, so repainting a large
// picture does not scale it again; a picture whose first drawing fails (a damaged JPEG)
// is reported once through the error guard, outside any paint event, and then shows nothing.
class ImageFrame : public QWidget
{
    Q_OBJECT

public:
    ImageFrame(const PictureRegistry &registry, MessageBoxes &boxes, QWidget *parent = nullptr);

    PictureHolder &picture() { return m_holder; }
    const PictureHolder &picture() const { return m_holder; }

    bool stretch() const { return m_stretch; }
    void setStretch(bool stretch);
    bool center() const { return m_center; }
    void setCenter(bool center);

    // Stretching on only when the picture is larger than the box in both directions. The rule
    // is applied again when the box gets another size (a box fitted before its frame's layout
    // first ran would otherwise keep a decision taken for a provisional size), until
    // setStretch() is called.
    void Echelle();

    // Where the picture goes in the box, in widget coordinates (may reach beyond it).
    QRect pictureRect() const;

    QSize sizeHint() const override;

    // How many times the picture itself was drawn; repaints in between copy the cache.
    int renderCount() const { return m_cache.renderCount(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private Q_SLOTS:
    void pictureChanged();
    void preparePicture();

private:
    void applyStretch(bool stretch);

    PictureHolder m_holder;
    MessageBoxes &m_boxes;
    bool m_stretch = false;
    bool m_center = false;
    bool m_fitted = false; // stretching follows Echelle's rule
    bool m_preparationScheduled = false;
    PictureRenderCache m_cache;
};
