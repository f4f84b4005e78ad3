#pragma once

#include "platform/filedialogs.h"

#include <QString>

// How the question sheet asks the author for a picture file ("Choisir image").
class PictureChooser
{
public:
    virtual ~PictureChooser() = default;
    // The chosen picture's full path, or an empty text when the author cancelled. A confirmed
    // choice leaves the picture's folder current.
    virtual QString choosePicture(const QString &filter) = 0;
};

// Chooses through the plain file-open dialog (no preview pane).
class FileDialogPictureChooser : public PictureChooser
{
public:
    explicit FileDialogPictureChooser(FileDialogs &dialogs) : m_dialogs(dialogs) {}
    QString choosePicture(const QString &filter) override { return m_dialogs.openFile(filter, QString()); }

private:
    FileDialogs &m_dialogs;
};
