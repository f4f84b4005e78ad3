#pragma once

#include "pictures/pictureregistry.h"

#include <QByteArray>
#include <QString>

// Pictures judged by what they hold rather than by their names. Loading for display picks the
// kind by extension alone; a picture that leaves the program (exported inside a quiz file) must
// also be one by content, since a questionnaire can name any file of the disk.

// True when the bytes start the way a file of that kind starts: its signature and the header
// fields that confirm it.
bool contentIsKind(PictureKind kind, const QByteArray &bytes);

// The whole file a picture line names, to hand on unchanged: a regular file (a FIFO or a device
// is never opened) of at most Picture::MaxFileSize bytes, with a registered extension, whose
// content is of the kind that extension stands for. Throws AppError with the French reason.
QByteArray readPictureAsIs(const PictureRegistry &registry, const QString &path);

// The picture a web page shows: the file as it is when browsers show its kind, a PCX file or a
// metafile drawn into a PNG (a drawing at its own size, its longer side at most
// MaxDrawnSide pixels, on white as metafiles are pasted). A picture the program cannot draw
// goes as it is; so does a metafile when no window system runs (its text needs fonts). Throws
// as readPictureAsIs does.
QByteArray readPictureForWeb(const PictureRegistry &registry, const QString &path);
inline constexpr int MaxDrawnSide = 4096;
