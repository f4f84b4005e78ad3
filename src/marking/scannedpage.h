#pragma once

#include "marking/boxdecision.h"
#include "printing/copypayload.h"

#include <QImage>
#include <QRectF>

#include <memory>

class FoundPage;
class ScanReading;
struct PrintedLandmarks;

// One scanned page, found and straightened: its corner marks located, its code read, and from
// then on any place of the printed page (in page points) measured or pictured on the scan,
// whatever the page's rotation, scale and skew. The scan is kept only as long as the page is;
// a page's reading lets it go.
class ScannedPage
{
public:
    enum class Problem {
        None,
        Blank,       // no image at all
        NoMarks,     // the four corner marks are not all there: not a copy, or cut off
        NoCode,      // marks found, but no code where the code stands
        UnknownCode, // a code this program did not write
        UnknownLayout, // a code of this program, for a layout this version does not know
    };

    // With the scan reader of the module (see loadScanReading), which throws AppError when
    // it is missing.
    explicit ScannedPage(const QImage &image);
    ScannedPage(const QImage &image, const ScanReading &reading);
    ~ScannedPage();

    Problem problem() const { return m_problem; }
    bool readable() const { return m_problem == Problem::None; }
    // What the page's code says; meaningful when readable().
    const CopyPayload &payload() const { return m_payload; }
    // Quarter turns clockwise of the page in the scan: 2 for a page scanned upside down.
    int quarterTurns() const { return m_quarterTurns; }

    BoxMeasure measure(const QRectF &box) const;
    // The part of the page `area` upright, at `pixelsPerPoint` pixels per point.
    QImage picture(const QRectF &area, double pixelsPerPoint) const;
    // The whole scan, its longer side `longSide` pixels: for a page that could not be read.
    QImage thumbnail(int longSide) const;

    // Where the copies' marks and code are printed.
    static PrintedLandmarks landmarks();

private:
    std::shared_ptr<const FoundPage> m_found;
    Problem m_problem = Problem::Blank;
    CopyPayload m_payload;
    int m_quarterTurns = 0;
};
