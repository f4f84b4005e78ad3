#pragma once

#include <QImage>
#include <QString>

// Scanned pages stored as pictures the way copiers write them: PNG (grey, colour or 1-bit) and
// TIFF (grey, colour or 1-bit, CCITT G4 among others, one page or several). A 600 dpi page is
// larger than Qt's picture reader accepts, and would take over a hundred megabytes in colour:
// these are decoded a row at a time and brought down to about the wanted resolution as they
// come, so only the smaller page is ever held whole.
namespace PagePictureFile {

enum class Kind { Png, Tiff, Other };

// By the file's first bytes, whatever its name says.
Kind kindOf(const QString &path);

// The pages of a TIFF file; 0 when it cannot be read as one.
int tiffPageCount(const QString &path);

// Page `index` (from 0) of a TIFF file, or the PNG picture, as 8-bit grey no finer than needed
// for a page of `longSideInches` drawn at `dpi` (averaged down by a whole factor); null when it
// cannot be decoded.
QImage readTiff(const QString &path, int index, double dpi, double longSideInches);
QImage readPng(const QString &path, double dpi, double longSideInches);

// The whole factor a picture of `longestPixels` is averaged down by to be near `wantedPixels`.
int reductionFor(int longestPixels, double wantedPixels);

} // namespace PagePictureFile
