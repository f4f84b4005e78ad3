#include "pictures/picturepreview.h"

#include "pictures/picturefit.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <exception>

PicturePreview::PicturePreview(const PictureRegistry &registry, QObject *parent)
    : QObject(parent), m_holder(registry)
{
    connect(&m_holder, &PictureHolder::changed, this, &PicturePreview::changed);
}

void PicturePreview::select(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        m_holder.clear();
        return;
    }
    try {
        m_holder.loadFromFile(path);
        // The preview shows the picture at once, so deferred decoding happens here, where a
        // failure can be swallowed like any other, instead of in the pane's paint event.
        if (Picture *picture = m_holder.picture(); picture && picture->needsPreparation())
            picture->prepare();
    } catch (const std::exception &) {
        m_holder.clear();
    }
}

QString PicturePreview::caption() const
{
    if (!hasPicture())
        return QCoreApplication::translate("PicturePreview", "Image :");
    return QCoreApplication::translate("PicturePreview", " (%1x%2)").arg(m_holder.width()).arg(m_holder.height());
}

QRect PicturePreview::paneRect(QSize pane) const
{
    return previewRect(pane, QSize(m_holder.width(), m_holder.height()));
}

QString PicturePreview::emptyText()
{
    return QCoreApplication::translate("PicturePreview", "(vide)");
}
