#pragma once

#include <QByteArray>
#include <QSize>
#include <QSizeF>

// Turns a Windows metafile into SVG text that QtSvg draws. WMF goes through libwmf, EMF
// through libemf2svg. Both libraries read untrusted bytes, so the program normally runs them
// in a short-lived child process: a crash or a runaway there only fails that one picture.

enum class MetafileType { Unknown, PlaceableWmf, Emf };

enum class MetafileError {
    None,
    NotAMetafile,     // neither a placeable WMF nor an EMF header
    BadHeader,        // a header whose sizes cannot describe a picture
    BadRecords,       // a record that does not fit the file or its own size
    ConversionFailed, // the library refused the content
    ConverterDied,    // the child process crashed, hung or could not start
};

struct MetafileHeader
{
    MetafileType type = MetafileType::Unknown;
    QSize size; // in screen pixels at 96 dots per inch
    QSizeF frameInPoints; // placeable WMF: the declared frame, in points
};

// Reads and checks the header alone.
MetafileError readMetafileHeader(const QByteArray &bytes, MetafileHeader &header);

enum class MetafileIsolation { InProcess, ChildProcess };

// The whole conversion. ChildProcess falls back to InProcess where fork() does not exist.
MetafileError convertMetafileToSvg(const QByteArray &bytes, QByteArray &svg,
                                   MetafileIsolation isolation = MetafileIsolation::ChildProcess);
