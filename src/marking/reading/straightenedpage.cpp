#include "marking/reading/straightenedpage.h"

#include "marking/reading/pagestages.h"

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

StraightenedPage::StraightenedPage(const QImage &image, const PrintedLandmarks &landmarks)
{
    const cv::Mat original = greyOf(image);
    if (original.empty())
        return;
    double scale = 1;
    m_grey = toWorkingSize(original, landmarks, scale);
    const std::optional<Marks> marks = findCornerMarks(m_grey, landmarks);
    if (!marks) {
        m_state = State::NoMarks;
        return;
    }
    m_inkLevel = marks->inkLevel;
    m_state = State::NoCode;
    for (int turns : possibleTurns(*marks)) {
        const cv::Matx33d pageToImage = PageStages::pageToImage(*marks, turns, landmarks);
        std::optional<QByteArray> code = readCode(m_grey, pageToImage, landmarks);
        if (!code && scale < 1)
            code = readCode(original, scaledUp(pageToImage, scale), landmarks);
        if (!code)
            continue;
        // The first code found is the page's: whether it is one of ours is the program's to say.
        m_code = *code;
        m_pageToImage = pageToImage;
        m_quarterTurns = turns;
        m_state = State::Code;
        return;
    }
}

BoxMeasure StraightenedPage::measure(const QRectF &box) const
{
    return measureBox(m_grey, m_pageToImage, box, m_inkLevel);
}

QImage StraightenedPage::picture(const QRectF &area, double pixelsPerPoint) const
{
    return straightened(m_grey, m_pageToImage, area, pixelsPerPoint);
}

QImage StraightenedPage::thumbnail(int longSide) const
{
    if (m_grey.empty())
        return {};
    const double scale = double(longSide) / std::max(m_grey.cols, m_grey.rows);
    cv::Mat small;
    cv::resize(m_grey, small, cv::Size(), scale, scale, cv::INTER_AREA);
    return imageOf(small);
}
