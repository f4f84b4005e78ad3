// A scanned page read and marked, from a real copy spoilt by the input: its code replaced by
// any text (a damaged code, another program's, a well-formed one naming boxes the questionnaire
// lacks), its corner marks moved or wiped, blots painted anywhere, the page turned; or, with
// the first byte's low bit set, the input's bytes as the pixels of a small grey picture. Every
// page must end as read or as a French note; anything else is a finding.
//
// With the first byte's bit 3 set, the rest of the input is a picture file (a PNG, or a TIFF
// with its magic bytes put in front when missing), opened and decoded as a scanned pile's file,
// page by page.
//
// Input: [flags] [4 x (dx, dy) mark moves] [count] [count x (x, y, w, h, grey) blots] [code text]
// In the code text, "@" stands for the questionnaire's fingerprint, so that codes naming this
// questionnaire, and reaching the reading of its boxes, are within the fuzzer's reach.
#include "classroom/classquestionnaire.h"
#include "document/qcmformat.h"
#include "marking/markingsession.h"
#include "marking/scanfile.h"
#include "pictures/pictureregistry.h"
#include "platform/apperror.h"
#include "printing/papercopies.h"
#include "printing/qrsymbol.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <memory>

namespace {

// Pages drawn coarse, so that each input is read quickly.
constexpr double Dpi = 100;
constexpr double PixelsPerPoint = Dpi / 72;

std::shared_ptr<const ClassQuestionnaire> g_questionnaire;
QImage *g_page = nullptr;
QTemporaryDir *g_files = nullptr;
// A fuzzed file's pages read at the most: a multi-page TIFF is read one page after another.
constexpr int FilePages = 3;

QStringList questionnaireLines()
{
    QStringList lines{QStringLiteral("PASSATION questions=melange"), QStringLiteral("PASSATION reponses=melange")};
    for (int n = 0; n < 6; ++n) {
        lines << QcmFormat::openingTag(n) << QStringLiteral("TITLE Question %1").arg(n + 1) << QStringLiteral("PICTURE ");
        for (int k = 1; k <= QcmFormat::AnswerCount; ++k)
            lines << QcmFormat::answerKeyword(k) + (k <= 2 + n % 4 ? QStringLiteral("Réponse %1").arg(k) : QString());
        lines << QStringLiteral("REPONSE 1") << QcmFormat::closingTag(n);
    }
    return lines;
}

QRectF pixels(const QRectF &points)
{
    return QRectF(points.topLeft() * PixelsPerPoint, points.size() * PixelsPerPoint);
}

class Input
{
public:
    Input(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    uint8_t next() { return m_at < m_size ? m_data[m_at++] : 0; }
    QByteArray rest() const { return QByteArray(reinterpret_cast<const char *>(m_data + m_at), qsizetype(m_size - m_at)); }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_at = 0;
};

QImage spoiltCopy(Input &input, uint8_t flags)
{
    QImage page = g_page->copy();
    QPainter painter(&page);
    for (CopyGeometry::Corner corner : {CopyGeometry::TopLeft, CopyGeometry::TopRight, CopyGeometry::BottomRight,
                                        CopyGeometry::BottomLeft}) {
        const int dx = int8_t(input.next()), dy = int8_t(input.next());
        if (dx == 0 && dy == 0)
            continue;
        const QRectF mark = pixels(CopyGeometry::cornerMark(corner));
        painter.fillRect(mark, Qt::white);
        if (dx != -128)
            painter.fillRect(mark.translated(dx, dy), Qt::black);
    }
    const int blots = input.next() % 16;
    for (int i = 0; i < blots; ++i) {
        const int x = input.next() * page.width() / 256, y = input.next() * page.height() / 256;
        const int w = input.next(), h = input.next(), grey = input.next();
        painter.fillRect(QRect(x, y, w, h), QColor(grey, grey, grey));
    }
    const QByteArray code = input.rest().replace('@', g_questionnaire->fingerprint().toUpper().toLatin1());
    if (flags & 2) {
        const QRectF area = pixels(CopyGeometry::codeArea());
        painter.fillRect(area, Qt::white);
        try {
            QrSymbol::encode(code).draw(painter, area, 2);
        } catch (const AppError &) {
            // Too long or empty for a code: the page keeps none.
        }
    }
    painter.end();
    if (flags & 4)
        page = page.transformed(QTransform().rotate(180));
    return page;
}

QImage rawPixels(Input &input)
{
    const int width = 1 + input.next() % 200, height = 1 + input.next() % 200;
    const QByteArray bytes = input.rest();
    QImage image(width, height, QImage::Format_Grayscale8);
    for (int y = 0; y < height; ++y) {
        uchar *line = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const qsizetype at = qsizetype(y) * width + x;
            line[x] = bytes.isEmpty() ? 255 : uchar(bytes[at % bytes.size()]);
        }
    }
    return image;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QGuiApplication app(*argc, *argv);
    g_questionnaire = std::make_shared<const ClassQuestionnaire>(ClassQuestionnaire::fromLines(questionnaireLines()));
    PictureRegistry pictures;
    PaperCopies copies(QStringLiteral("Fuzz"), g_questionnaire, pictures);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("copy.pdf"));
    {
        QPdfWriter writer(pdf);
        copies.print(writer, {{3, QString(), 12345}}, CopyLayout::BoxesBeside);
    }
    g_files = new QTemporaryDir;
    g_page = new QImage(ScanFile(pdf).page(0, Dpi).convertToFormat(QImage::Format_Grayscale8));
    return 0;
}

// The input's bytes as a scanned file: every page read, or refused in French.
int readFile(Input &input)
{
    QByteArray bytes = input.rest();
    if (!bytes.startsWith("II*") && !bytes.startsWith("MM") && !bytes.startsWith("\x89PNG"))
        bytes.prepend(QByteArray("II*\0", 4));
    const QString path = g_files->filePath(QStringLiteral("fuzz.scan"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return 0;
    file.close();
    MarkingSession session(g_questionnaire);
    std::unique_ptr<ScanFile> scan;
    try {
        scan = std::make_unique<ScanFile>(path);
    } catch (const AppError &) {
        return 0; // not a picture file: refused with its French message
    }
    const int pages = std::min(scan->pageCount(), FilePages);
    for (int page = 0; page < pages; ++page)
        session.addPageOf(*scan, page);
    if (session.pagesGiven() != pages)
        std::abort(); // a page neither read nor named
    (void)session.summary();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input input(data, size);
    const uint8_t flags = input.next();
    if (flags & 8)
        return readFile(input);
    const QImage page = flags & 1 ? rawPixels(input) : spoiltCopy(input, flags);
    MarkingSession session(g_questionnaire);
    session.addPage(page, {QStringLiteral("fuzz.png"), 1});
    if (session.notes().empty() && session.copies().empty())
        std::abort(); // a page neither read nor refused
    for (size_t c = 0; c < session.copies().size(); ++c) {
        for (const CopyQuestion &question : session.copies()[c].questions)
            session.settle(int(c), question.question, question.answer());
    }
    (void)session.summary();
    return 0;
}
