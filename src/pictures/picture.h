#pragma once

#include <QObject>
#include <QRectF>
#include <QString>

class QByteArray;
class QClipboard;
class QFile;
class QMimeData;
class QPainter;

// One picture of one kind (bitmap, icon, metafile, JPEG, GIF, PCX). Every kind offers the same
// operations; the kind is chosen by the file's extension in PictureRegistry, never by content.
//
// Failures are AppError with the French text the person at the keyboard sees. A kind that
// defers work to its first drawing (JPEG decodes then) does that work in prepare(), which the
// caller runs inside the error guard of a user command, never from a paint event: draw() itself
// never throws.
class Picture : public QObject
{
    Q_OBJECT

public:
    // Far above any picture a question shows, far below what reading a file whole could
    // exhaust: every reading of a whole picture file stops here.
    static constexpr qint64 MaxFileSize = qint64(256) * 1024 * 1024;

    ~Picture() override;

    // The whole content of a picture file: a regular file only ("Ne peut ouvrir le fichier %s"
    // otherwise, see openForReading) of at most MaxFileSize bytes.
    static QByteArray readFile(const QString &path);

    // Opens the file ("Ne peut ouvrir le fichier %s" when it cannot be read) and decodes its
    // whole content with loadFromData(). On failure the picture must not be used further.
    virtual void loadFromFile(const QString &path);
    // Decodes one whole file held in memory; throws the kind's own failure text.
    virtual void loadFromData(const QByteArray &bytes) = 0;

    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual bool isEmpty() const { return width() <= 0 || height() <= 0; }
    // Kinds that cannot change their size throw their own French message.
    virtual void setSize(int width, int height) = 0;

    // True while work is deferred to the first drawing (see prepare()).
    virtual bool needsPreparation() const { return false; }
    // Does the deferred work once. A failure is thrown the first time only; afterwards the
    // picture draws nothing and needsPreparation() is false.
    virtual void prepare() {}

    // Draws the picture into target (stretched to it, unless the kind draws at its own size).
    // Draws nothing while preparation is pending or after it failed.
    virtual void draw(QPainter &painter, const QRectF &target) = 0;

    // The picture as the clipboard takes it. May do the deferred work, so may throw;
    // returns nullptr when the kind puts nothing on the clipboard.
    virtual QMimeData *toMimeData() = 0;

    // Empties the clipboard, then puts the picture on it (Copy to clipboard).
    void copyToClipboard(QClipboard &clipboard);

protected:
    // Opens a regular file for reading (links followed); anything else, a FIFO or a device
    // among them, fails like a missing file: "Ne peut ouvrir le fichier %s".
    static void openForReading(QFile &file, const QString &path);

Q_SIGNALS:
    // The picture's look changed (a new animation frame, a new size): frames repaint.
    void changed();
};
