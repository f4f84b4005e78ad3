#include "marking/reading/pagestages.h"

#include <opencv2/imgproc.hpp>

#include <ZXing/ReadBarcode.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace PageStages {

namespace {

// Where corner marks are looked for: this share of the image's width and height at each corner.
// A page shifted by two centimetres on the copier's glass still has its marks inside.
constexpr double CornerWindow = 0.3;
// A mark's side may differ this much from what the image's size leads to expect: scans are a
// few per cent larger or smaller, and a page may not fill the image.
constexpr double MarkSideLow = 0.6;
constexpr double MarkSideHigh = 1.6;
// A mark is square (its sides within this ratio, skew included) and solid: its minimal
// rectangle is this full of ink. The finder squares of the page's code, rings around a dot,
// fill two thirds of theirs; a blackened box is less than half as wide as a mark.
constexpr double MarkSquareness = 1.3;
constexpr double MarkSolidity = 0.8;
// The four marks together: their sides alike, the rectangle they draw the page's own (opposite
// sides within 4 %, its width over its height within 5 % of the printed marks').
constexpr double MarkSidesAlike = 1.35;
constexpr double OppositeSidesAlike = 0.04;
constexpr double ShapeTolerance = 0.05;
// Black printed by this scan must stand this many grey levels below its paper, or nothing on
// the page can be told from the paper.
constexpr double MinimumContrast = 40;

// The darkest grey a box's surroundings may call paper: the brightest fifth of them.
constexpr double PaperPercentile = 0.8;
// A box's inside: its printed outline, and the blur of the scan around it, left out.
constexpr double InsetPoints = 2.0;
constexpr double InsetShare = 0.05;
// Pixels at least this dark count as ink in a box's coverage.
constexpr double InkDarkness = 0.5;
// A box's peak: the darkness of its darkest twentieth.
constexpr double PeakShare = 0.95;
// The frame round a box's printed outline: from this far outside it out to EdgeOutPoints, and
// from this far inside it in to the box's inside; the outline's own blur at 150 dpi stays
// between. The answer's text and the next box stand further away.
constexpr double EdgeOutPoints = 2.4;
constexpr double FrameOutsideFrom = 1.2;
constexpr double FrameInsideFrom = 1.0;
// Pixels this dark count as ink in the frame: a pen's, not an eraser's grey.
constexpr double FrameInkDarkness = 0.35;
// The strip left of a box where a ring round it shows: this far from the outline (its blur
// left out), this share of the box's side wide, and as tall as the box and a quarter of it
// above and below. Nothing is printed there: the answer's text is on the right, the
// neighbouring boxes above, below or further right, an answer sheet's number further left.
constexpr double AroundGapPoints = 1.2;
constexpr double AroundWidthShare = 0.35;
constexpr double AroundHeightShare = 0.25;
// Pixels this dark count as ink in the strip beside a box: a thin pen line blurred keeps it.
constexpr double AroundInkDarkness = 0.2;

double distance(const cv::Point2f &a, const cv::Point2f &b)
{
    return std::hypot(double(a.x - b.x), double(a.y - b.y));
}

cv::Point2d apply(const cv::Matx33d &h, const QPointF &p)
{
    const cv::Vec3d v = h * cv::Vec3d(p.x(), p.y(), 1.0);
    return {v[0] / v[2], v[1] / v[2]};
}

// Page points of `area` sampled on a grid of `size` pixels: the matrix from grid pixels to
// image pixels, for warpPerspective's inverse mapping.
cv::Matx33d gridToImage(const cv::Matx33d &pageToImage, const QRectF &area, const cv::Size &size)
{
    const double sx = area.width() / size.width;
    const double sy = area.height() / size.height;
    // Pixel centres: the grid's pixel (u, v) samples the page at its centre.
    const cv::Matx33d gridToPage(sx, 0, area.left() + 0.5 * sx, 0, sy, area.top() + 0.5 * sy, 0, 0, 1);
    return pageToImage * gridToPage;
}

cv::Mat sample(const cv::Mat &grey, const cv::Matx33d &pageToImage, const QRectF &area, const cv::Size &size)
{
    cv::Mat out;
    cv::warpPerspective(grey, out, cv::Mat(gridToImage(pageToImage, area, size)), size,
                        cv::INTER_LINEAR | cv::WARP_INVERSE_MAP, cv::BORDER_REPLICATE);
    return out;
}

// Pixels of the image per page point near `p`.
double pixelsPerPoint(const cv::Matx33d &pageToImage, const QPointF &p)
{
    const cv::Point2d a = apply(pageToImage, p);
    const cv::Point2d b = apply(pageToImage, p + QPointF(10, 0));
    return std::hypot(b.x - a.x, b.y - a.y) / 10;
}

struct Candidate
{
    cv::Point2f centre;
    double side;
    cv::Rect bounds; // in the image
};

std::optional<Candidate> markNear(const cv::Mat &grey, int corner, double expectedSide, double &paperLevel)
{
    const int windowWidth = std::max(1, int(grey.cols * CornerWindow));
    const int windowHeight = std::max(1, int(grey.rows * CornerWindow));
    const bool right = corner == 1 || corner == 2;
    const bool bottom = corner == 2 || corner == 3;
    const cv::Rect window(right ? grey.cols - windowWidth : 0, bottom ? grey.rows - windowHeight : 0, windowWidth,
                          windowHeight);
    const cv::Mat roi = grey(window);
    cv::Mat ink;
    const double threshold = cv::threshold(roi, ink, 0, 255, cv::THRESH_BINARY_INV | cv::THRESH_OTSU);
    paperLevel = threshold;
    std::vector<std::vector<cv::Point>> contours;
    cv::findContours(ink, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
    const cv::Point2f imageCorner(right ? float(grey.cols) : 0.f, bottom ? float(grey.rows) : 0.f);
    std::optional<Candidate> best;
    double bestDistance = 0;
    for (const std::vector<cv::Point> &contour : contours) {
        const cv::Rect bounds = cv::boundingRect(contour);
        if (bounds.width < expectedSide * MarkSideLow * 0.7 || bounds.height < expectedSide * MarkSideLow * 0.7
            || bounds.width > expectedSide * MarkSideHigh * 1.5 || bounds.height > expectedSide * MarkSideHigh * 1.5)
            continue;
        const cv::RotatedRect box = cv::minAreaRect(contour);
        const double small = std::min(box.size.width, box.size.height);
        const double large = std::max(box.size.width, box.size.height);
        if (small < expectedSide * MarkSideLow || large > expectedSide * MarkSideHigh || large > small * MarkSquareness)
            continue;
        if (cv::countNonZero(ink(bounds)) < MarkSolidity * double(box.size.width) * double(box.size.height))
            continue;
        const cv::Moments moments = cv::moments(contour);
        if (moments.m00 <= 0)
            continue;
        const cv::Point2f centre(float(moments.m10 / moments.m00) + float(window.x),
                                 float(moments.m01 / moments.m00) + float(window.y));
        const double d = distance(centre, imageCorner);
        if (!best || d < bestDistance) {
            best = Candidate{centre, (small + large) / 2, bounds + window.tl()};
            bestDistance = d;
        }
    }
    return best;
}

} // namespace

cv::Mat greyOf(const QImage &image)
{
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return {};
    switch (image.format()) {
    case QImage::Format_Grayscale8:
        return cv::Mat(image.height(), image.width(), CV_8UC1, const_cast<uchar *>(image.constBits()),
                       size_t(image.bytesPerLine()))
            .clone();
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied: {
        // Blue, green, red, alpha in memory on the machines Qt runs on (its own order for these
        // formats on little-endian processors).
        const cv::Mat colour(image.height(), image.width(), CV_8UC4, const_cast<uchar *>(image.constBits()),
                             size_t(image.bytesPerLine()));
        cv::Mat grey;
        cv::cvtColor(colour, grey, cv::COLOR_BGRA2GRAY);
        return grey;
    }
    default:
        return greyOf(image.convertToFormat(QImage::Format_Grayscale8));
    }
}

namespace {

double longSideOf(const PrintedLandmarks &landmarks)
{
    return std::max(landmarks.page.width(), landmarks.page.height());
}

} // namespace

cv::Mat toWorkingSize(const cv::Mat &grey, const PrintedLandmarks &landmarks, double &scale)
{
    scale = 1;
    const double longSide = std::max(grey.cols, grey.rows);
    const double wanted = longSideOf(landmarks) * WorkingPixelsPerPoint;
    // Within a sixth of the working size, the page is read as it is.
    if (longSide <= wanted * 1.15)
        return grey;
    scale = wanted / longSide;
    cv::Mat smaller;
    cv::resize(grey, smaller, cv::Size(), scale, scale, cv::INTER_AREA);
    return smaller;
}

std::optional<Marks> findCornerMarks(const cv::Mat &grey, const PrintedLandmarks &landmarks)
{
    if (grey.empty() || grey.cols < 64 || grey.rows < 64 || longSideOf(landmarks) <= 0)
        return std::nullopt;
    const double expectedSide = landmarks.markSide * std::max(grey.cols, grey.rows) / longSideOf(landmarks);
    Marks marks;
    std::array<Candidate, 4> found;
    double paperSum = 0;
    for (int corner = 0; corner < 4; ++corner) {
        double paper = 0;
        const std::optional<Candidate> candidate = markNear(grey, corner, expectedSide, paper);
        if (!candidate)
            return std::nullopt;
        found[size_t(corner)] = *candidate;
        marks.centres[size_t(corner)] = candidate->centre;
        paperSum += paper;
    }
    double smallest = found[0].side, largest = found[0].side, sum = 0;
    for (const Candidate &candidate : found) {
        smallest = std::min(smallest, candidate.side);
        largest = std::max(largest, candidate.side);
        sum += candidate.side;
    }
    if (largest > smallest * MarkSidesAlike)
        return std::nullopt;
    marks.side = sum / 4;

    const auto &c = marks.centres;
    const double top = distance(c[0], c[1]), bottom = distance(c[3], c[2]);
    const double left = distance(c[0], c[3]), right = distance(c[1], c[2]);
    if (std::abs(top - bottom) > OppositeSidesAlike * std::max(top, bottom)
        || std::abs(left - right) > OppositeSidesAlike * std::max(left, right))
        return std::nullopt;
    const std::array<QPointF, 4> &printed = landmarks.markCentres;
    const double printedWidth = printed[1].x() - printed[0].x();
    const double printedHeight = printed[3].y() - printed[0].y();
    const double shape = std::min(top + bottom, left + right) / std::max(top + bottom, left + right);
    if (std::abs(shape - printedWidth / printedHeight) > ShapeTolerance * printedWidth / printedHeight)
        return std::nullopt;
    // The mark's side against the distance between marks: a page's own proportions.
    const double printedSideShare = landmarks.markSide / printedHeight;
    const double sideShare = marks.side / (std::max(top + bottom, left + right) / 2);
    if (sideShare < printedSideShare * MarkSideLow || sideShare > printedSideShare * MarkSideHigh)
        return std::nullopt;

    // How black this scan prints black: the middle of the marks, away from their blurred edges.
    double ink = 0;
    for (const Candidate &candidate : found) {
        const int half = std::max(1, int(candidate.side / 4));
        const cv::Rect middle(int(candidate.centre.x) - half, int(candidate.centre.y) - half, 2 * half, 2 * half);
        ink += cv::mean(grey(middle & cv::Rect(0, 0, grey.cols, grey.rows)))[0];
    }
    marks.inkLevel = ink / 4;
    marks.paperLevel = paperSum / 4;
    // Otsu's threshold lies between ink and paper; the paper itself is brighter still.
    const cv::Mat centre = grey(cv::Rect(grey.cols / 4, grey.rows / 4, grey.cols / 2, grey.rows / 2));
    std::vector<uchar> values(centre.begin<uchar>(), centre.end<uchar>());
    auto at = values.begin() + std::ptrdiff_t(double(values.size() - 1) * PaperPercentile);
    std::nth_element(values.begin(), at, values.end());
    marks.paperLevel = std::max(marks.paperLevel, double(*at));
    if (marks.paperLevel - marks.inkLevel < MinimumContrast)
        return std::nullopt;
    return marks;
}

std::array<int, 2> possibleTurns(const Marks &marks)
{
    const auto &c = marks.centres;
    const double width = distance(c[0], c[1]) + distance(c[3], c[2]);
    const double height = distance(c[0], c[3]) + distance(c[1], c[2]);
    return width < height ? std::array<int, 2>{0, 2} : std::array<int, 2>{1, 3};
}

cv::Matx33d pageToImage(const Marks &marks, int quarterTurns, const PrintedLandmarks &landmarks)
{
    const std::array<QPointF, 4> &printed = landmarks.markCentres;
    std::array<cv::Point2f, 4> page;
    std::array<cv::Point2f, 4> image;
    for (int i = 0; i < 4; ++i) {
        page[size_t(i)] = cv::Point2f(float(printed[size_t(i)].x()), float(printed[size_t(i)].y()));
        // The page's corner i shows at the image's corner i + turns, clockwise.
        image[size_t(i)] = marks.centres[size_t((i + quarterTurns) % 4)];
    }
    const cv::Mat h = cv::getPerspectiveTransform(page.data(), image.data());
    return cv::Matx33d(h);
}

std::optional<QByteArray> readCode(const cv::Mat &grey, const cv::Matx33d &pageToImage, const PrintedLandmarks &landmarks)
{
    const QRectF &area = landmarks.codeArea;
    // The code's area on the image, and a margin around it for a slightly misplaced print.
    const QRectF wider = area.adjusted(-area.width() / 8, -area.height() / 8, area.width() / 8, area.height() / 8);
    std::vector<cv::Point2f> corners;
    for (const QPointF &p : {wider.topLeft(), wider.topRight(), wider.bottomRight(), wider.bottomLeft()}) {
        const cv::Point2d q = apply(pageToImage, p);
        corners.emplace_back(float(q.x), float(q.y));
    }
    const cv::Rect bounds = cv::boundingRect(corners) & cv::Rect(0, 0, grey.cols, grey.rows);
    if (bounds.width < 16 || bounds.height < 16)
        return std::nullopt;
    const cv::Mat roi = grey(bounds);
    const ZXing::ImageView view(roi.data, roi.cols, roi.rows, ZXing::ImageFormat::Lum, int(roi.step));
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    if (!result.isValid())
        return std::nullopt;
    const ZXing::ByteArray &bytes = result.bytes();
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

BoxMeasure measureBox(const cv::Mat &grey, const cv::Matx33d &pageToImage, const QRectF &box, double inkLevel)
{
    const double side = std::min(box.width(), box.height());
    const double inset = InsetPoints + InsetShare * side;
    const QRectF inside = box.adjusted(inset, inset, -inset, -inset);
    const double scale = pixelsPerPoint(pageToImage, box.center());
    const int n = std::clamp(int(std::lround(inside.width() * scale)), 4, 64);
    const cv::Mat pixels = sample(grey, pageToImage, inside, cv::Size(n, n));
    const QRectF outer = box.adjusted(-EdgeOutPoints, -EdgeOutPoints, EdgeOutPoints, EdgeOutPoints);
    const int outerSide = std::clamp(int(std::lround(outer.width() * scale)), 8, 96);
    const cv::Mat band = sample(grey, pageToImage, outer, cv::Size(outerSide, outerSide));
    const double aroundWidth = AroundWidthShare * side;
    const QRectF strip(box.left() - AroundGapPoints - aroundWidth, box.top() - AroundHeightShare * side, aroundWidth,
                       box.height() + 2 * AroundHeightShare * side);
    const cv::Mat beside = sample(grey, pageToImage, strip,
                                  cv::Size(std::clamp(int(std::lround(strip.width() * scale)), 3, 32),
                                           std::clamp(int(std::lround(strip.height() * scale)), 6, 96)));

    // The paper around the box: the box and its own width all round, sampled coarsely.
    const cv::Mat around = sample(grey, pageToImage, box.adjusted(-side, -side, side, side), cv::Size(24, 24));
    std::vector<uchar> values(around.begin<uchar>(), around.end<uchar>());
    auto at = values.begin() + std::ptrdiff_t(double(values.size() - 1) * PaperPercentile);
    std::nth_element(values.begin(), at, values.end());
    const double paper = std::max(double(*at), inkLevel + MinimumContrast);
    const double range = paper - inkLevel;

    const auto darknessOf = [paper, range](uchar grey) { return std::clamp((paper - double(grey)) / range, 0.0, 1.0); };

    BoxMeasure measure;
    int inked = 0;
    double sum = 0;
    std::vector<double> darkness;
    darkness.reserve(pixels.total());
    for (auto it = pixels.begin<uchar>(); it != pixels.end<uchar>(); ++it) {
        darkness.push_back(darknessOf(*it));
        sum += darkness.back();
        inked += darkness.back() >= InkDarkness;
    }
    const double count = double(pixels.total());
    measure.mean = sum / count;
    measure.coverage = inked / count;
    auto peakAt = darkness.begin() + std::ptrdiff_t(double(darkness.size() - 1) * PeakShare);
    std::nth_element(darkness.begin(), peakAt, darkness.end());
    measure.peak = *peakAt;

    // The frame round the printed outline, the outline and its blur left out: a ring outside
    // it and one inside, short of the inside measured above.
    int frameInked = 0, frameCount = 0;
    for (int y = 0; y < band.rows; ++y) {
        const double py = outer.top() + (y + 0.5) * outer.height() / band.rows;
        for (int x = 0; x < band.cols; ++x) {
            const double px = outer.left() + (x + 0.5) * outer.width() / band.cols;
            const double outside = std::max({box.left() - px, px - box.right(), box.top() - py, py - box.bottom()});
            const bool inFrame = outside >= 0 ? outside >= FrameOutsideFrom : -outside >= FrameInsideFrom && -outside <= inset;
            if (!inFrame)
                continue;
            ++frameCount;
            frameInked += darknessOf(band.at<uchar>(y, x)) >= FrameInkDarkness;
        }
    }
    measure.edge = frameCount ? double(frameInked) / frameCount : 0;
    int besideInked = 0;
    for (auto it = beside.begin<uchar>(); it != beside.end<uchar>(); ++it)
        besideInked += darknessOf(*it) >= AroundInkDarkness;
    measure.around = double(besideInked) / double(beside.total());
    return measure;
}

QImage straightened(const cv::Mat &grey, const cv::Matx33d &pageToImage, const QRectF &area, double pixelsPerPoint)
{
    const cv::Size size(std::max(1, int(std::lround(area.width() * pixelsPerPoint))),
                        std::max(1, int(std::lround(area.height() * pixelsPerPoint))));
    return imageOf(sample(grey, pageToImage, area, size));
}

QImage imageOf(const cv::Mat &grey)
{
    QImage image(grey.cols, grey.rows, QImage::Format_Grayscale8);
    for (int y = 0; y < grey.rows; ++y)
        std::copy_n(grey.ptr<uchar>(y), grey.cols, image.scanLine(y));
    return image;
}

} // namespace PageStages
