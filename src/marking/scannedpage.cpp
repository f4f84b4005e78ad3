#include "marking/scannedpage.h"

#include "marking/pagestages.h"

#include <opencv2/imgproc.hpp>

using namespace PageStages;

namespace {

// A page's code is read again on the full scan when the working image lost it (a fine code
// on a coarse copier's JPEG): the page to image matrix, scaled back up.
cv::Matx33d scaledUp(const cv::Matx33d &pageToImage, double scale)
{
    return cv::Matx33d(1 / scale, 0, 0, 0, 1 / scale, 0, 0, 0, 1) * pageToImage;
}

} // namespace

ScannedPage::ScannedPage(const QImage &image)
{
    const cv::Mat original = greyOf(image);
    if (original.empty())
        return;
    double scale = 1;
    m_grey = toWorkingSize(original, scale);
    const std::optional<Marks> marks = findCornerMarks(m_grey);
    if (!marks) {
        m_problem = Problem::NoMarks;
        return;
    }
    m_inkLevel = marks->inkLevel;
    m_problem = Problem::NoCode;
    for (int turns : possibleTurns(*marks)) {
        const cv::Matx33d pageToImage = PageStages::pageToImage(*marks, turns);
        std::optional<QByteArray> code = readCode(m_grey, pageToImage);
        if (!code && scale < 1)
            code = readCode(original, scaledUp(pageToImage, scale));
        if (!code)
            continue;
        const std::optional<CopyPayload> payload = CopyPayload::decode(*code);
        if (!payload) {
            m_problem = CopyPayload::isOurs(*code) ? Problem::UnknownLayout : Problem::UnknownCode;
            return;
        }
        m_payload = *payload;
        m_pageToImage = pageToImage;
        m_quarterTurns = turns;
        m_problem = Problem::None;
        return;
    }
}

BoxMeasure ScannedPage::measure(const QRectF &box) const
{
    return measureBox(m_grey, m_pageToImage, box, m_inkLevel);
}

QImage ScannedPage::picture(const QRectF &area, double pixelsPerPoint) const
{
    return straightened(m_grey, m_pageToImage, area, pixelsPerPoint);
}

QImage ScannedPage::thumbnail(int longSide) const
{
    if (m_grey.empty())
        return {};
    const double scale = double(longSide) / std::max(m_grey.cols, m_grey.rows);
    cv::Mat small;
    cv::resize(m_grey, small, cv::Size(), scale, scale, cv::INTER_AREA);
    return imageOf(small);
}
