#pragma once

#include <QByteArray>
#include <QSize>
#include <QSizeF>

enum class MetafileType { Unknown, PlaceableWmf, Emf };

// Why a metafile (or an SVG file) could not be turned into a drawing. The helper reports these as
// its exit status, so the values are part of its interface: append, never renumber.
enum class MetafileError {
    None = 0,
    NotAMetafile = 1,     // neither a placeable WMF nor an EMF header
    BadHeader = 2,        // a header whose sizes cannot describe a picture
    BadRecords = 3,       // a record that does not fit the file or its own size
    ConversionFailed = 4, // the library refused the content
    ConverterDied = 5,    // the helper crashed or answered what it never says
    TooComplex = 6,       // so many shapes, or so much text, that drawing it would freeze the window
    TimeLimit = 7,        // the helper used up its processor time, or the program stopped waiting
    MemoryLimit = 8,      // the helper asked for more memory than it may have
    ConverterMissing = 9, // the helper is not installed or cannot be started; never its exit status
};

struct MetafileHeader
{
    MetafileType type = MetafileType::Unknown;
    QSize size; // in screen pixels at 96 dots per inch
    QSizeF frameInPoints; // placeable WMF: the declared frame, in points
};

// Reads and checks the header alone.
MetafileError readMetafileHeader(const QByteArray &bytes, MetafileHeader &header);
