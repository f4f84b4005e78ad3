#include "marking/scannedpage.h"

#include "marking/scanreading.h"
#include "marking/scanreadingmodule.h"
#include "printing/copygeometry.h"

ScannedPage::ScannedPage(const QImage &image) : ScannedPage(image, loadScanReading())
{
}

ScannedPage::ScannedPage(const QImage &image, const ScanReading &reading) : m_found(reading.find(image, landmarks()))
{
    switch (m_found->state()) {
    case FoundPage::State::Blank:
        m_problem = Problem::Blank;
        return;
    case FoundPage::State::NoMarks:
        m_problem = Problem::NoMarks;
        return;
    case FoundPage::State::NoCode:
        m_problem = Problem::NoCode;
        return;
    case FoundPage::State::Code:
        break;
    }
    const QByteArray code = m_found->code();
    const std::optional<CopyPayload> payload = CopyPayload::decode(code);
    if (!payload) {
        m_problem = CopyPayload::isOurs(code) ? Problem::UnknownLayout : Problem::UnknownCode;
        return;
    }
    m_payload = *payload;
    m_quarterTurns = m_found->quarterTurns();
    m_problem = Problem::None;
}

ScannedPage::~ScannedPage() = default;

BoxMeasure ScannedPage::measure(const QRectF &box) const
{
    return m_found->measure(box);
}

QImage ScannedPage::picture(const QRectF &area, double pixelsPerPoint) const
{
    return m_found->picture(area, pixelsPerPoint);
}

QImage ScannedPage::thumbnail(int longSide) const
{
    return m_found->thumbnail(longSide);
}

PrintedLandmarks ScannedPage::landmarks()
{
    PrintedLandmarks landmarks;
    landmarks.page = CopyGeometry::pageSize();
    landmarks.markSide = CopyGeometry::MarkSide;
    landmarks.markCentres = CopyGeometry::markCentres();
    landmarks.codeArea = CopyGeometry::codeArea();
    return landmarks;
}
