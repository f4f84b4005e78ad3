#include "pictures/pictureholder.h"

#include "pictures/pictureregistry.h"

#include <QClipboard>

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
    if (m_picture) {
        m_picture->copyToClipboard(clipboard);
    } else {
        // An empty holder still empties the clipboard, as a copy of nothing would.
        clipboard.clear();
    }
}
