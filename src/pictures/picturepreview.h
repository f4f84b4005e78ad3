#pragma once

#include "pictures/pictureholder.h"

#include <QObject>
#include <QRect>
#include <QString>

class PictureRegistry;

// The state of the picture-choice dialog's preview: the picture of the selected file, the
// caption above the pane and whether the preview button is enabled. Failures are silent:
// a file that does not load simply shows nothing.
class PicturePreview : public QObject
{
    Q_OBJECT

public:
    explicit PicturePreview(const PictureRegistry &registry, QObject *parent = nullptr);

    // A new selection: an existing file is loaded through Load from file; anything else
    // (no file, a folder, a missing file, a failure) leaves the preview empty.
    void select(const QString &path);

    bool hasPicture() const { return !m_holder.isEmpty(); }
    // " (%dx%d)" with the picture's size, or "Image :" when there is none.
    QString caption() const;
    bool canPreview() const { return hasPicture(); }
    // Where the pane draws the picture (see previewRect).
    QRect paneRect(QSize pane) const;
    // The text the pane shows in its centre when there is no picture.
    static QString emptyText();

    PictureHolder &holder() { return m_holder; }

Q_SIGNALS:
    void changed();

private:
    PictureHolder m_holder;
};
