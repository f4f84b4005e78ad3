#pragma once

#include "marking/boxdecision.h"
#include "marking/scanreading.h"

#include <QImage>
#include <QRectF>

#include <opencv2/core.hpp>

#include <array>
#include <optional>

// The stages of reading a scanned page, each a function from an image to what it finds, so
// that a test can feed any one of them. Images are 8-bit grey, paper light and ink dark.
namespace PageStages {

// Pages are read at about 200 dots per inch: a box beside an answer is 25 pixels wide, a
// module of the page's code 4 or more. Finer scans are brought down to it first (averaging,
// which also takes out the grain of the paper and the copier's noise).
inline constexpr double WorkingPixelsPerPoint = 200.0 / 72.0;

// 8-bit grey whatever the image's format; an empty matrix for an empty image.
cv::Mat greyOf(const QImage &image);
// The grey image brought down to the working resolution when it is finer, judged by its
// longer side against the page's; `scale` is the working image's size over the original's.
cv::Mat toWorkingSize(const cv::Mat &grey, const PrintedLandmarks &landmarks, double &scale);

// The four corner marks, by their centres in the image's own order (top left, top right,
// bottom right, bottom left of the image, whatever the page's rotation in it).
struct Marks
{
    std::array<cv::Point2f, 4> centres;
    double side = 0;      // their mean side, in pixels
    double inkLevel = 0;  // the grey of their inside: how black this scan prints black
    double paperLevel = 0; // the grey of the paper beside them
};
std::optional<Marks> findCornerMarks(const cv::Mat &grey, const PrintedLandmarks &landmarks);

// Page points to image pixels, the page turned by `quarterTurns` quarter turns clockwise in
// the image (0 upright, 2 upside down).
cv::Matx33d pageToImage(const Marks &marks, int quarterTurns, const PrintedLandmarks &landmarks);
// The quarter turns the marks allow: 0 and 2 for a page standing upright or upside down in
// the image, 1 and 3 for a page lying on its side.
std::array<int, 2> possibleTurns(const Marks &marks);

// The page's code, looked for where it stands when the page is turned `quarterTurns`: its
// bytes, or nothing when no code is found there.
std::optional<QByteArray> readCode(const cv::Mat &grey, const cv::Matx33d &pageToImage, const PrintedLandmarks &landmarks);

// How dark a box is against the paper around it; its printed outline is left out.
BoxMeasure measureBox(const cv::Mat &grey, const cv::Matx33d &pageToImage, const QRectF &box, double inkLevel);

// The part of the page `area` (page points) straightened into an upright grey picture of
// `pixelsPerPoint` pixels per point.
QImage straightened(const cv::Mat &grey, const cv::Matx33d &pageToImage, const QRectF &area, double pixelsPerPoint);

// A grey matrix as a grey picture.
QImage imageOf(const cv::Mat &grey);

} // namespace PageStages
