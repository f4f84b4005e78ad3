#pragma once

// Scanned copies made by the tests themselves: copies printed to PDF, drawn by Poppler at a
// scanner's resolution, boxes marked the ways pupils mark them, then spoilt the ways copiers
// spoil pages. Shared by the reading tests and the benchmark.

#include "classroom/classquestionnaire.h"
#include "document/qcmformat.h"
#include "marking/reading/pagestages.h"
#include "marking/scanfile.h"
#include "pictures/pictureregistry.h"
#include "printing/papercopies.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRandomGenerator>

#include <opencv2/imgproc.hpp>

#include <tiffio.h>

#include <memory>
#include <vector>

namespace MarkedCorpus {

// `count` questions of two to five answers, some titles long enough to wrap, right answers
// spread over the places.
inline QStringList questionnaireLines(int count, bool shuffle)
{
    QStringList lines;
    if (shuffle)
        lines << QStringLiteral("PASSATION questions=melange") << QStringLiteral("PASSATION reponses=melange");
    for (int n = 0; n < count; ++n) {
        lines << QcmFormat::openingTag(n);
        lines << QStringLiteral("TITLE %1").arg(n % 4 == 1 ? QStringLiteral("Une question dont l'énoncé est assez long pour "
                                                                             "tenir sur deux lignes de la copie, numéro %1")
                                                                  .arg(n + 1)
                                                            : QStringLiteral("Question %1").arg(n + 1));
        lines << QStringLiteral("PICTURE ");
        const int answers = 2 + n % 4;
        for (int k = 1; k <= QcmFormat::AnswerCount; ++k)
            lines << QcmFormat::answerKeyword(k) + (k <= answers ? QStringLiteral("Réponse %1").arg(k) : QString());
        lines << QStringLiteral("REPONSE %1").arg(1 + n % answers) << QcmFormat::closingTag(n);
    }
    return lines;
}

// Question `number` of `lines` given the right answers `right` (two at least, among its
// answers), as the file says them: the first on its "REPONSE " line, all in its correction.
inline QStringList withSeveralRight(QStringList lines, int number, const QList<int> &right)
{
    const int closing = int(lines.indexOf(QcmFormat::closingTag(number)));
    lines[closing - 1] = QStringLiteral("REPONSE %1").arg(right.front());
    QStringList named;
    for (int answer : right)
        named << QString::number(answer);
    lines.insert(closing, QStringLiteral("Bonnes réponses : %1").arg(named.join(QLatin1Char(','))));
    lines.insert(closing, QStringLiteral("Correction :"));
    return lines;
}

inline std::shared_ptr<const ClassQuestionnaire> questionnaire(int count, bool shuffle)
{
    return std::make_shared<const ClassQuestionnaire>(ClassQuestionnaire::fromLines(questionnaireLines(count, shuffle)));
}

// The copies printed into `pdf`; the pages of each copy returned in order.
inline std::vector<std::vector<CopyPage>> print(PaperCopies &copies, const std::vector<PrintedCopy> &which,
                                                CopyLayout layout, const QString &pdf)
{
    QPdfWriter writer(pdf);
    writer.setResolution(600);
    copies.print(writer, which, layout);
    std::vector<std::vector<CopyPage>> pages;
    for (const PrintedCopy &copy : which)
        pages.push_back(copies.layOut(copy, layout));
    return pages;
}

enum class Mark { Filled, Crossed, Ticked, Pencil, HalfFilled, Erased, ThinTick, Circled, LightPencil, OnEdge };

inline const char *markName(Mark mark)
{
    switch (mark) {
    case Mark::Filled: return "noircie";
    case Mark::Crossed: return "croix";
    case Mark::Ticked: return "coche";
    case Mark::Pencil: return "crayon léger";
    case Mark::HalfFilled: return "à moitié";
    case Mark::Erased: return "gommée";
    case Mark::ThinTick: return "coche fine";
    case Mark::Circled: return "entourée";
    case Mark::LightPencil: return "crayon très léger";
    case Mark::OnEdge: return "encre sur le bord";
    }
    return "";
}

// Whether a mark means the box is chosen: a rubbed-out one does not.
inline bool chosen(Mark mark) { return mark != Mark::Erased; }

// Draws `mark` on a box standing at `box` (pixels) of a page image, with a hand's unevenness
// drawn from `random`.
inline void drawMark(QImage &page, const QRectF &box, Mark mark, QRandomGenerator &random)
{
    QPainter painter(&page);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = box.width();
    const qreal pointPixels = side / 9.0 * (side > 0 ? 1 : 0);
    auto jitter = [&](qreal amount) { return (random.generateDouble() - 0.5) * 2 * amount * side; };
    const QColor pen(20 + random.bounded(30), 25 + random.bounded(30), 70 + random.bounded(60)); // blue-black biro
    switch (mark) {
    case Mark::Filled: {
        QPainterPath path;
        path.addRoundedRect(box.adjusted(jitter(0.05), jitter(0.05), jitter(0.05), jitter(0.05)), side * 0.1, side * 0.1);
        painter.fillPath(path, pen);
        break;
    }
    case Mark::Crossed:
        painter.setPen(QPen(pen, (0.9 + 0.6 * random.generateDouble()) * pointPixels, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(box.topLeft() + QPointF(jitter(0.1), jitter(0.1)), box.bottomRight() + QPointF(jitter(0.1), jitter(0.1)));
        painter.drawLine(box.topRight() + QPointF(jitter(0.1), jitter(0.1)), box.bottomLeft() + QPointF(jitter(0.1), jitter(0.1)));
        break;
    case Mark::Ticked: {
        painter.setPen(QPen(pen, (0.9 + 0.6 * random.generateDouble()) * pointPixels, Qt::SolidLine, Qt::RoundCap,
                            Qt::RoundJoin));
        const QPointF points[] = {box.topLeft() + QPointF(0.15 * side + jitter(0.05), 0.5 * side + jitter(0.05)),
                                  box.topLeft() + QPointF(0.45 * side + jitter(0.05), 0.85 * side + jitter(0.05)),
                                  box.topLeft() + QPointF(0.95 * side + jitter(0.05), 0.0 * side + jitter(0.05))};
        painter.drawPolyline(points, 3);
        break;
    }
    case Mark::Pencil: {
        // Graphite: strokes of uneven grey, close together, a little past the box.
        for (qreal y = box.top() + 0.05 * side; y < box.bottom() - 0.05 * side; y += 0.7 * pointPixels) {
            const int grey = 95 + random.bounded(50);
            painter.setPen(QPen(QColor(grey, grey, grey), 0.9 * pointPixels, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(box.left() + jitter(0.08), y + jitter(0.03)), QPointF(box.right() + jitter(0.08), y + jitter(0.03)));
        }
        break;
    }
    case Mark::HalfFilled: {
        const bool lower = random.bounded(2) == 0;
        const QRectF half = lower ? box.adjusted(0, side * 0.5, 0, 0) : box.adjusted(0, 0, -side * 0.5, 0);
        painter.fillRect(half, pen);
        break;
    }
    case Mark::ThinTick: {
        // A fine pen's tick, a third of a point wide: a blurred scan keeps only its ghost.
        painter.setPen(QPen(pen, 0.35 * pointPixels, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QPointF points[] = {box.topLeft() + QPointF(0.2 * side + jitter(0.05), 0.55 * side + jitter(0.05)),
                                  box.topLeft() + QPointF(0.45 * side + jitter(0.05), 0.8 * side + jitter(0.05)),
                                  box.topLeft() + QPointF(0.85 * side + jitter(0.05), 0.2 * side + jitter(0.05))};
        painter.drawPolyline(points, 3);
        break;
    }
    case Mark::Circled: {
        // A ring drawn round the box, the box itself left empty.
        const qreal radius = side * (0.8 + 0.12 * random.generateDouble());
        painter.setPen(QPen(pen, (0.8 + 0.4 * random.generateDouble()) * pointPixels));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(box.center() + QPointF(jitter(0.04), jitter(0.04)), radius, radius * (0.9 + 0.1 * random.generateDouble()));
        break;
    }
    case Mark::LightPencil: {
        // A hard pencil barely pressed: pale strokes with paper between them.
        for (qreal y = box.top() + 0.15 * side; y < box.bottom() - 0.15 * side; y += 1.3 * pointPixels) {
            const int grey = 185 + random.bounded(25);
            painter.setPen(QPen(QColor(grey, grey, grey), 0.9 * pointPixels, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(box.left() + 0.12 * side + jitter(0.05), y + jitter(0.03)),
                             QPointF(box.right() - 0.12 * side + jitter(0.05), y + jitter(0.03)));
        }
        break;
    }
    case Mark::OnEdge: {
        // A blot of ink astride one side of the box, half in, half out, its inside left clean.
        const int sideOfBox = random.bounded(4);
        const qreal along = 0.5 + jitter(0.15) / side;
        const QPointF at = sideOfBox == 0   ? QPointF(box.left(), box.top() + along * side)
                           : sideOfBox == 1 ? QPointF(box.right(), box.top() + along * side)
                           : sideOfBox == 2 ? QPointF(box.left() + along * side, box.top())
                                            : QPointF(box.left() + along * side, box.bottom());
        const qreal radius = side * (0.18 + 0.06 * random.generateDouble());
        painter.setPen(Qt::NoPen);
        painter.setBrush(pen);
        painter.drawEllipse(at, radius, radius * (0.8 + 0.2 * random.generateDouble()));
        break;
    }
    case Mark::Erased: {
        // What an eraser leaves of a blackened box: a faint grey cloud, a few darker specks.
        const int grey = 205 + random.bounded(20);
        painter.fillRect(box.adjusted(-0.1 * side, -0.1 * side, 0.1 * side, 0.1 * side), QColor(grey, grey, grey));
        painter.setPen(QPen(QColor(150, 150, 150), 0.5 * pointPixels));
        for (int i = 0; i < 4; ++i) {
            const QPointF at = box.center() + QPointF(jitter(0.4), jitter(0.4));
            painter.drawPoint(at);
        }
        painter.setPen(QPen(Qt::black, pointPixels));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box); // the outline, half rubbed out with the mark, drawn again
        break;
    }
    }
}

// How a copier spoils a page.
struct Spoiling
{
    double degrees = 0;      // turned
    double scale = 1;        // enlarged or shrunk
    double noise = 0;        // grey levels of noise
    double blur = 0;         // in points
    int jpegQuality = 0;     // 0: no JPEG
    bool blackAndWhite = false;
    bool colour = false;     // kept in colour (else grey)
};

inline QImage spoil(const QImage &page, const Spoiling &how, double dpi, quint32 seed)
{
    cv::Mat grey = PageStages::greyOf(page);
    if (how.degrees != 0 || how.scale != 1) {
        // The scanner's glass is larger than the page: a page laid askew is scanned whole, on a
        // white ground a little wider than it.
        cv::Mat turn = cv::getRotationMatrix2D(cv::Point2f(grey.cols / 2.f, grey.rows / 2.f), how.degrees, how.scale);
        const cv::Rect2f bounds =
            cv::RotatedRect(cv::Point2f(grey.cols / 2.f, grey.rows / 2.f),
                            cv::Size2f(float(grey.cols * how.scale), float(grey.rows * how.scale)), float(how.degrees))
                .boundingRect2f();
        const cv::Size size(std::max(grey.cols, int(bounds.width) + 2), std::max(grey.rows, int(bounds.height) + 2));
        turn.at<double>(0, 2) += (size.width - grey.cols) / 2.0;
        turn.at<double>(1, 2) += (size.height - grey.rows) / 2.0;
        cv::Mat turned;
        cv::warpAffine(grey, turned, turn, size, cv::INTER_LINEAR, cv::BORDER_CONSTANT, cv::Scalar(255));
        grey = turned;
    }
    if (how.blur > 0)
        cv::GaussianBlur(grey, grey, cv::Size(), how.blur * dpi / 72);
    if (how.noise > 0) {
        cv::Mat noise(grey.size(), CV_16SC1);
        cv::theRNG().state = seed;
        cv::randn(noise, 0, how.noise);
        cv::Mat wide;
        grey.convertTo(wide, CV_16SC1);
        wide += noise;
        wide.convertTo(grey, CV_8UC1);
    }
    if (how.blackAndWhite)
        cv::threshold(grey, grey, 128, 255, cv::THRESH_BINARY);
    QImage out = PageStages::imageOf(grey);
    if (how.colour)
        out = out.convertToFormat(QImage::Format_RGB32);
    if (how.blackAndWhite)
        out = out.convertToFormat(QImage::Format_Mono);
    if (how.jpegQuality > 0) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        out.save(&buffer, "JPEG", how.jpegQuality);
        QImageReader reader(&buffer);
        buffer.close();
        buffer.open(QIODevice::ReadOnly);
        reader.setDevice(&buffer);
        out = reader.read();
    }
    return out;
}

// Pages written as a copier writes a TIFF: 8-bit grey compressed with LZW in strips, or 1-bit
// black and white (what is darker than mid-grey is black) compressed with CCITT G4 in one strip;
// one page after another in the one file. False when libtiff refuses.
inline bool writeTiff(const QString &path, const std::vector<QImage> &pages, bool g4, int dpi)
{
    TIFF *tiff = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tiff)
        return false;
    bool written = true;
    for (size_t n = 0; n < pages.size() && written; ++n) {
        const QImage grey = pages[n].convertToFormat(QImage::Format_Grayscale8);
        const uint32_t width = uint32_t(grey.width()), height = uint32_t(grey.height());
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, uint16_t(1));
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, uint16_t(g4 ? 1 : 8));
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, g4 ? PHOTOMETRIC_MINISWHITE : PHOTOMETRIC_MINISBLACK);
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, g4 ? COMPRESSION_CCITTFAX4 : COMPRESSION_LZW);
        TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, g4 ? height : uint32_t(64));
        TIFFSetField(tiff, TIFFTAG_XRESOLUTION, float(dpi));
        TIFFSetField(tiff, TIFFTAG_YRESOLUTION, float(dpi));
        TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(tiff, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        TIFFSetField(tiff, TIFFTAG_PAGENUMBER, uint16_t(n), uint16_t(pages.size()));
        std::vector<uchar> row(g4 ? (width + 7) / 8 : width);
        for (uint32_t y = 0; y < height && written; ++y) {
            const uchar *in = grey.constScanLine(int(y));
            if (g4) {
                std::fill(row.begin(), row.end(), uchar(0));
                for (uint32_t x = 0; x < width; ++x) {
                    if (in[x] < 128)
                        row[x / 8] |= uchar(0x80 >> (x % 8));
                }
            } else {
                std::copy_n(in, width, row.begin());
            }
            written = TIFFWriteScanline(tiff, row.data(), y, 0) >= 0;
        }
        written = written && TIFFWriteDirectory(tiff);
    }
    TIFFClose(tiff);
    return written;
}

} // namespace MarkedCorpus
