#pragma once

#include "pictures/picture.h"

#include <QObject>

#include <memory>

class PictureRegistry;
class QClipboard;
class QImage;

// The object behind an image frame: at most one picture, or an empty picture of size 0 by 0.
// Every change of its picture is announced by changed(), so the frame repaints.
class PictureHolder : public QObject
{
    Q_OBJECT

public:
    explicit PictureHolder(const PictureRegistry &registry, QObject *parent = nullptr);
    ~PictureHolder() override;

    // Load from file: the kind comes from the path's extension alone. On any failure the
    // exception passes on unchanged and the holder keeps the picture it had.
    void loadFromFile(const QString &path);
    // Takes a picture made elsewhere (null clears).
    void setPicture(std::unique_ptr<Picture> picture);
    void clear();

    Picture *picture() const { return m_picture.get(); }
    int width() const;
    int height() const;
    bool isEmpty() const;

    // Empties the clipboard and puts the picture on it; fails as the kind says. A picture
    // whose kind puts nothing there goes to the clipboard as a bitmap.
    void copyToClipboard(QClipboard &clipboard);

Q_SIGNALS:
    void changed();

private:
    static QImage renderedImage(Picture &picture);

    const PictureRegistry &m_registry;
    std::unique_ptr<Picture> m_picture;
};
