#pragma once

#include "marking/scanreading.h"

#include <opencv2/core.hpp>

// A scanned page found with OpenCV: its grey image at the working resolution, and from the page
// to the image the matrix its corner marks give.
class StraightenedPage : public FoundPage
{
public:
    StraightenedPage(const QImage &image, const PrintedLandmarks &landmarks);

    State state() const override { return m_state; }
    QByteArray code() const override { return m_code; }
    int quarterTurns() const override { return m_quarterTurns; }
    BoxMeasure measure(const QRectF &box) const override;
    QImage picture(const QRectF &area, double pixelsPerPoint) const override;
    QImage thumbnail(int longSide) const override;

private:
    cv::Mat m_grey;
    cv::Matx33d m_pageToImage;
    double m_inkLevel = 0;
    State m_state = State::Blank;
    QByteArray m_code;
    int m_quarterTurns = 0;
};
