#pragma once

#include "marking/boxdecision.h"

#include <QByteArray>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QtPlugin>

#include <array>
#include <memory>

// What a scan reader looks for on a copy's page, in points from the paper's top left corner:
// the reader knows nothing of the copies' layout but this.
struct PrintedLandmarks
{
    QSizeF page;
    double markSide = 0;
    std::array<QPointF, 4> markCentres; // top left, top right, bottom right, bottom left
    QRectF codeArea;                    // the page's code with its quiet zone
};

// A scanned page as the reader found it: its corner marks located, and the first code found
// where the code stands, the page turned as the marks allow. From then on any place of the
// printed page is measured or pictured on the scan, whatever the page's rotation and skew.
class FoundPage
{
public:
    enum class State {
        Blank,   // no image at all
        NoMarks, // the four corner marks are not all there
        NoCode,  // marks found, but no code where the code stands
        Code,    // marks and code found
    };

    virtual ~FoundPage() = default;
    virtual State state() const = 0;
    // The code's bytes, and the quarter turns clockwise of the page in the scan; for State::Code.
    virtual QByteArray code() const = 0;
    virtual int quarterTurns() const = 0;
    virtual BoxMeasure measure(const QRectF &box) const = 0;
    // The part of the page `area` upright, at `pixelsPerPoint` pixels per point.
    virtual QImage picture(const QRectF &area, double pixelsPerPoint) const = 0;
    // The whole scan, its longer side `longSide` pixels; null for a blank page.
    virtual QImage thumbnail(int longSide) const = 0;
};

// The pages of a scan file (a PDF, or a picture of one page or several), drawn one at a time.
class ScanPages
{
public:
    virtual ~ScanPages() = default;
    virtual int pageCount() const = 0;
    // Page `index` (from 0) drawn at about `dpi`; null when it cannot be drawn.
    virtual QImage page(int index, double dpi) const = 0;
};

// Reads scanned copies. It lives in a module of its own, nelo-scan-reading, loaded the first
// time a scan is read (loadScanReading): it needs OpenCV, Poppler and ZXing, which every
// start of the program would otherwise map for a command used a few times a term.
//
// The module sees nothing of the program but this header: plain values in, plain values out.
class ScanReading
{
public:
    enum class OpenProblem { None, NotPdfNorImage, BrokenPdf };

    virtual ~ScanReading() = default;
    virtual std::unique_ptr<FoundPage> find(const QImage &image, const PrintedLandmarks &landmarks) const = 0;
    // nullptr, with *problem said, when the file is neither a readable PDF nor a picture.
    virtual std::unique_ptr<ScanPages> open(const QString &path, OpenProblem *problem) const = 0;
};

#define ScanReading_iid "org.example.NeloQcm.ScanReading/1.1"
Q_DECLARE_INTERFACE(ScanReading, ScanReading_iid)
