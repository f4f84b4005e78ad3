#pragma once

#include "pictures/metafileconverterprocess.h"
#include "pictures/metafilepicture.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

// The sample pictures under tests/data/pictures (see make_samples.py there).
inline QString samplePath(const QString &name)
{
    return QStringLiteral(NELO_TEST_DATA "/pictures/") + name;
}

inline QByteArray sampleBytes(const QString &name)
{
    QFile file(samplePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// Writes a file under the test's folder and gives its path; a test cannot go on without it.
inline QString writeTestFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// The program's helper (metafiles converted, SVG files checked) as this build made it.
inline DrawingConversion testDrawingConversion()
{
    return [](DrawingSource source, const QByteArray &input, QByteArray &svg) {
        return MetafileConverterProcess(QStringLiteral(NELO_METAFILE_CONVERTER)).convert(source, input, svg);
    };
}

// A BMP file of one colour, for placement tests that need a picture of a given size.
inline QByteArray bmpOfSize(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}
