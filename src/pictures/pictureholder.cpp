#include "pictures/pictureholder.h"

#include "pictures/pictureregistry.h"

#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QPainter>

#include <new>

PictureHolder::PictureHolder(const PictureRegistry &registry, QObject *parent)
    : QObject(parent), m_registry(registry)
{
}

PictureHolder::~PictureHolder() = default;

void PictureHolder::loadFromFile(const QString &path)
{
    std::unique_ptr<Picture> picture = m_registry.createFor(path);
    picture->loadFromFile(path);
    setPicture(std::move(picture));
}

void PictureHolder::setPicture(std::unique_ptr<Picture> picture)
{
    // The old picture goes only after the new one is in place, so a frame never sees a
    // dangling pointer while it repaints.
    std::unique_ptr<Picture> old = std::move(m_picture);
    m_picture = std::move(picture);
    if (m_picture)
        connect(m_picture.get(), &Picture::changed, this, &PictureHolder::changed);
    old.reset();
    Q_EMIT changed();
}

void PictureHolder::clear()
{
    setPicture(nullptr);
}

int PictureHolder::width() const
{
    return m_picture ? m_picture->width() : 0;
}

int PictureHolder::height() const
{
    return m_picture ? m_picture->height() : 0;
}

bool PictureHolder::isEmpty() const
{
    return !m_picture || m_picture->isEmpty();
}

void PictureHolder::copyToClipboard(QClipboard &clipboard)
{
    clipboard.clear();
    if (!m_picture)
        return; // a copy of nothing leaves the clipboard empty
    std::unique_ptr<QMimeData> data(m_picture->toMimeData());
    if (!data && !m_picture->isEmpty()) {
        // A kind with no clipboard form of its own would leave the author with an empty
        // clipboard and no word of it: its picture goes there as a bitmap instead.
        data = std::make_unique<QMimeData>();
        data->setImageData(renderedImage(*m_picture));
    }
    if (data)
        clipboard.setMimeData(data.release());
}

QImage PictureHolder::renderedImage(Picture &picture)
{
    QImage image(picture.width(), picture.height(), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        throw std::bad_alloc();
    image.fill(Qt::transparent);
    QPainter painter(&image);
    picture.draw(painter, QRectF(image.rect()));
    painter.end();
    return image;
}
