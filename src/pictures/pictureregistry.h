#pragma once

#include "pictures/metafilepicture.h"
#include "pictures/picture.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

enum class PictureKind { Metafile, Icon, Bitmap, Jpeg, Gif, Pcx, Png, Svg, WebP };

// The extension of a picture path: the text after its last ".", unless a "\", ":" or "/"
// stands after that dot (the dot was in a folder name), in which case it is empty.
QString pictureExtension(const QString &path);

// The picture formats the program reads, in registration order. The application makes one and
// hands it by reference; the constructor registers wmf, emf, ico and bmp, then the JPEG, GIF and
// PCX modules add theirs (registerJpegFormats, registerGifFormat, registerPcx), and the web
// formats come last (registerWebFormats).
class PictureRegistry
{
public:
    using Factory = std::function<std::unique_ptr<Picture>()>;

    struct Entry
    {
        QString extension; // lower case, without the dot
        QString description;
        PictureKind kind;
        Factory create;
    };

    // Metafiles are converted, and SVG files checked, by the helper found beside the program
    // (MetafileConverterProcess).
    PictureRegistry();
    explicit PictureRegistry(DrawingConversion convertDrawing);

    // Appends an entry; the extension is stored lower case.
    void registerFormat(const QString &extension, const QString &description, PictureKind kind,
                        Factory create);
    // Removes every entry of that kind.
    void unregisterKind(PictureKind kind);

    // The last registered entry whose extension equals this one, letter case ignored; or null.
    const Entry *find(const QString &extension) const;
    // The entry for the path's extension. Throws "Extension de fichier graphique inconnue (.%s)".
    const Entry &entryFor(const QString &path) const;
    // A new, empty picture of the kind registered for the path's extension (same failure).
    std::unique_ptr<Picture> createFor(const QString &path) const;

    const std::vector<Entry> &entries() const { return m_entries; }
    // What the kinds drawn from SVG text run their files through.
    const DrawingConversion &drawingConversion() const { return m_convertDrawing; }

private:
    DrawingConversion m_convertDrawing;
    std::vector<Entry> m_entries;
};
