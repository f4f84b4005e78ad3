#include "markedcorpus.h"

#include "marking/copypagereader.h"
#include "marking/reading/pagepicturefile.h"
#include "marking/scannedpage.h"
#include "printing/qrsymbol.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <map>

using namespace MarkedCorpus;

Q_DECLARE_METATYPE(MarkedCorpus::Spoiling)

namespace {

constexpr int Questions = 20;

// How a pupil answered one question.
enum class Answering { One, Two, ChangedMind, Nothing, RubbedOut };

struct QuestionTruth
{
    std::vector<QRectF> boxes;   // page points, in the order printed
    std::vector<bool> chosen;    // what the pupil meant
    std::vector<const char *> marks; // how each box was marked, for the messages
    bool asked = false;          // answered as the copy asks: one box filled, one rubbed out beside it, or none
};

// The marks a page's questions get: the usual ones (mostly as the copy asks), or marks a
// reading cannot be sure of, each alone on its question (and a fill now and then).
enum class MarkMix { Usual, Unsure };

// The boxes of one printed page, by question, in the order printed.
std::vector<QuestionTruth> boxesOf(const CopyPage &page, const ClassQuestionnaire &questionnaire)
{
    std::vector<QuestionTruth> questions;
    if (page.payload.layout == CopyLayout::AnswerSheet) {
        const int first = (page.payload.page - 1) * CopyGeometry::SheetSlotsPerPage;
        for (int slot = 0; slot < CopyGeometry::SheetSlotsPerPage && first + slot < questionnaire.size(); ++slot) {
            QuestionTruth truth;
            for (int answer : questionnaire.question(first + slot).answerNumbers())
                truth.boxes.push_back(CopyGeometry::sheetBox(slot, answer));
            questions.push_back(truth);
        }
        return questions;
    }
    int last = -1;
    for (const PaperItem &item : page.items) {
        if (item.kind != PaperItem::CheckBox)
            continue;
        if (item.question != last)
            questions.emplace_back();
        last = item.question;
        questions.back().boxes.push_back(item.rect);
    }
    return questions;
}

// Marks every question of a page image drawn at `dpi`, each its own way, and says what was meant.
void markPage(QImage &image, std::vector<QuestionTruth> &questions, int variant, double dpi, std::map<QString, int> &used,
              MarkMix mix = MarkMix::Usual)
{
    QRandomGenerator random(quint32(variant * 7919 + 17));
    const Mark singles[] = {Mark::Filled, Mark::Crossed, Mark::Ticked, Mark::Pencil, Mark::HalfFilled};
    auto pixels = [dpi](const QRectF &points) { return QRectF(points.topLeft() * dpi / 72, points.size() * dpi / 72); };
    for (size_t q = 0; q < questions.size(); ++q) {
        QuestionTruth &truth = questions[q];
        const int count = int(truth.boxes.size());
        truth.chosen.assign(size_t(count), false);
        truth.marks.assign(size_t(count), "vide");
        const int way = int(q + size_t(variant)) % 9;
        const int first = int(q * 7 + size_t(variant)) % count;
        const int second = (first + 1) % count;
        const Answering answering = way < 5 ? Answering::One
                                  : way == 5 ? Answering::Two
                                  : way == 6 ? Answering::ChangedMind
                                  : way == 7 ? Answering::Nothing
                                             : Answering::RubbedOut;
        auto mark = [&](int box, Mark how) {
            drawMark(image, pixels(truth.boxes[size_t(box)]), how, random);
            truth.chosen[size_t(box)] = chosen(how);
            truth.marks[size_t(box)] = markName(how);
            ++used[QString::fromUtf8(markName(how))];
        };
        if (mix == MarkMix::Unsure) {
            const Mark unsure[] = {Mark::ThinTick, Mark::Circled, Mark::LightPencil, Mark::OnEdge, Mark::Filled};
            const Mark how = unsure[(q + size_t(variant)) % 5];
            mark(first, how);
            truth.asked = how == Mark::Filled;
            continue;
        }
        truth.asked = (answering == Answering::One && singles[way] == Mark::Filled)
                      || answering == Answering::ChangedMind || answering == Answering::Nothing;
        switch (answering) {
        case Answering::One:
            mark(first, singles[way]);
            break;
        case Answering::Two:
            mark(first, Mark::Filled);
            mark(second, singles[(q / 9) % 5]);
            break;
        case Answering::ChangedMind:
            mark(first, Mark::Erased);
            mark(second, Mark::Filled);
            break;
        case Answering::Nothing:
            break;
        case Answering::RubbedOut:
            mark(first, Mark::Erased);
            break;
        }
    }
}

struct Counts
{
    int boxes = 0, right = 0, misread = 0, doubtful = 0;
    int askedBoxes = 0, askedDoubtful = 0; // on questions answered as the copy asks
    int questions = 0, questionsMisread = 0, questionsDoubtful = 0, questionsSeveral = 0;
    int pages = 0, pagesUnread = 0;

    void add(const Counts &other)
    {
        boxes += other.boxes, right += other.right, misread += other.misread, doubtful += other.doubtful;
        askedBoxes += other.askedBoxes, askedDoubtful += other.askedDoubtful;
        questions += other.questions, questionsMisread += other.questionsMisread;
        questionsDoubtful += other.questionsDoubtful, questionsSeveral += other.questionsSeveral;
        pages += other.pages, pagesUnread += other.pagesUnread;
    }
    QString text() const
    {
        return QStringLiteral("%1 pages (%2 non lues), %3 cases : %4 mal lues, %5 douteuses (%6 %) ; "
                              "%7 questions : %8 mal lues, %9 à trancher dont %10 à plusieurs cases noircies")
            .arg(pages)
            .arg(pagesUnread)
            .arg(boxes)
            .arg(misread)
            .arg(doubtful)
            .arg(boxes ? 100.0 * doubtful / boxes : 0, 0, 'f', 2)
            .arg(questions)
            .arg(questionsMisread)
            .arg(questionsDoubtful)
            .arg(questionsSeveral);
    }
    // One line of the table by degradation: boxes, right, doubtful, misread.
    QString row(const QString &name) const
    {
        return QStringLiteral("%1 | %2 | %3 | %4 | %5").arg(name, -64).arg(boxes, 6).arg(right, 6).arg(doubtful, 5).arg(misread, 4);
    }
};

// Compares what was read with what was meant, box by box and question by question.
Counts compare(const ReadPage &read, const std::vector<QuestionTruth> &truths)
{
    Counts counts;
    counts.pages = 1;
    for (size_t q = 0; q < read.questions.size() && q < truths.size(); ++q) {
        const ReadQuestion &question = read.questions[q];
        const QuestionTruth &truth = truths[q];
        std::vector<BoxMeasure> measures;
        for (const ReadBox &box : question.boxes)
            measures.push_back(box.measure);
        const QuestionReading reading = BoxDecision::read(measures);
        const int meant = int(std::count(truth.chosen.begin(), truth.chosen.end(), true));
        ++counts.questions;
        if (reading.kind == QuestionReading::Kind::Doubtful) {
            ++counts.questionsDoubtful;
            counts.questionsSeveral += reading.doubt == QuestionReading::Doubt::SeveralTicked;
        } else {
            const bool right = reading.kind == QuestionReading::Kind::Answered
                                   ? meant == 1 && truth.chosen[size_t(reading.chosen)]
                                   : meant == 0;
            counts.questionsMisread += !right;
        }
        for (size_t b = 0; b < measures.size(); ++b) {
            ++counts.boxes;
            BoxState state = reading.states[b];
            if (reading.kind != QuestionReading::Kind::Doubtful)
                state = int(b) == reading.chosen ? BoxState::Ticked : BoxState::Empty;
            counts.askedBoxes += truth.asked;
            const BoxMeasure &m = measures[b];
            const auto tell = [&](const char *what) {
                qInfo("%s, question %d, case %d (%s) : moyenne %.3f, couverture %.3f, pic %.3f, bord %.3f, autour %.3f",
                      what, int(q) + 1, int(b) + 1, b < truth.marks.size() ? truth.marks[b] : "vide", m.mean, m.coverage,
                      m.peak, m.edge, m.around);
            };
            if (state == BoxState::Doubtful) {
                ++counts.doubtful;
                counts.askedDoubtful += truth.asked;
                if (truth.asked)
                    tell("douteuse");
            } else if ((state == BoxState::Ticked) != truth.chosen[b]) {
                ++counts.misread;
                tell("mal lue");
            } else {
                ++counts.right;
            }
        }
    }
    return counts;
}

struct CorpusCase
{
    CopyLayout layout;
    double dpi;
    Spoiling spoiling;
};

Spoiling spoilt(double degrees, double scale, double noise, double blur, int jpeg, bool blackAndWhite, bool colour)
{
    return {degrees, scale, noise, blur, jpeg, blackAndWhite, colour};
}

} // namespace

class TestCopyReading : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void corpus_data();
    void corpus();
    void cleanupTestCase();
    void unsureMarks_data();
    void unsureMarks();
    void pictureFiles_data();
    void pictureFiles();
    void pictureDecoding_data();
    void pictureDecoding();
    void pagesNotRead_data();
    void pagesNotRead();

private:
    QTemporaryDir m_dir;
    std::shared_ptr<const ClassQuestionnaire> m_questionnaire = questionnaire(Questions, true);
    PictureRegistry m_pictures;
    std::map<CopyLayout, std::vector<CopyPage>> m_pages;
    std::map<CopyLayout, QString> m_pdf;
    // Pages drawn by Poppler, by layout, resolution and page.
    std::map<std::tuple<CopyLayout, int, int>, QImage> m_rendered;
    std::map<bool, Counts> m_totals; // by degraded
    std::map<QString, Counts> m_byDegradation;
    Counts m_unsure;
    std::map<QString, int> m_marksUsed;

    const QImage &rendered(CopyLayout layout, double dpi, int page);
    // Reads a scan of `printed` marked as `truths` say, counts it under `name` and checks that
    // nothing was misread.
    Counts readAndCount(const QImage &scan, const CopyPage &printed, const std::vector<QuestionTruth> &truths,
                        const QString &name);
};

void TestCopyReading::initTestCase()
{
    // A 600 dpi page in colour is larger than Qt lets a picture file be by default.
    QImageReader::setAllocationLimit(1024);
    PaperCopies copies(QStringLiteral("Corpus"), m_questionnaire, m_pictures);
    for (CopyLayout layout : {CopyLayout::BoxesBeside, CopyLayout::AnswerSheet}) {
        const QString pdf = m_dir.filePath(layout == CopyLayout::BoxesBeside ? QStringLiteral("beside.pdf")
                                                                             : QStringLiteral("sheet.pdf"));
        const std::vector<PrintedCopy> one = {{7, QString(), 0x5EED0F}};
        m_pages[layout] = print(copies, one, layout, pdf).front();
        m_pdf[layout] = pdf;
    }
}

const QImage &TestCopyReading::rendered(CopyLayout layout, double dpi, int page)
{
    const auto key = std::make_tuple(layout, int(dpi), page);
    auto it = m_rendered.find(key);
    if (it == m_rendered.end())
        it = m_rendered.emplace(key, ScanFile(m_pdf[layout]).page(page, dpi).convertToFormat(QImage::Format_RGB32)).first;
    return it->second;
}

void TestCopyReading::corpus_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<Spoiling>("spoiling");
    QTest::addColumn<bool>("degraded");
    QTest::addColumn<int>("page");

    const std::pair<const char *, Spoiling> ways[] = {
        {"propre", spoilt(0, 1, 0, 0, 0, false, false)},
        {"-5 degres, 97 %", spoilt(-5, 0.97, 0, 0, 0, false, false)},
        {"+5 degres, 103 %, bruit, couleur", spoilt(5, 1.03, 10, 0, 0, false, true)},
        {"a l'envers, JPEG 40", spoilt(180, 1, 0, 0, 40, false, false)},
        {"+2 degres, flou, JPEG 40, couleur", spoilt(2, 1, 0, 0.35, 40, false, true)},
        {"-3 degres, noir et blanc", spoilt(-3, 1.01, 0, 0, 0, true, false)},
        {"a l'envers -1 degre, 102 %, bruit, flou, noir et blanc", spoilt(179, 1.02, 12, 0.3, 0, true, false)},
        {"quart de tour", spoilt(90, 1, 0, 0, 0, false, false)},
        {"quart de tour a gauche, +1 degre, JPEG 40", spoilt(-89, 1, 0, 0, 40, false, false)},
    };
    for (CopyLayout layout : {CopyLayout::BoxesBeside, CopyLayout::AnswerSheet}) {
        for (double dpi : {150.0, 300.0, 600.0}) {
            int n = 0;
            for (const auto &[name, how] : ways) {
                // The finest scans, slow to make, take one way of spoiling in three.
                if (dpi == 600 && n % 3 != 0) {
                    ++n;
                    continue;
                }
                const int page = layout == CopyLayout::BoxesBeside ? n % 2 : 0;
                QTest::addRow("%s, %g ppp, %s", layout == CopyLayout::BoxesBeside ? "cases" : "feuille", dpi, name)
                    << int(layout) << dpi << how << (n > 0) << page;
                ++n;
            }
        }
    }
}

void TestCopyReading::corpus()
{
    QFETCH(int, layout);
    QFETCH(double, dpi);
    QFETCH(Spoiling, spoiling);
    QFETCH(bool, degraded);
    QFETCH(int, page);

    const CopyLayout kind = CopyLayout(layout);
    const CopyPage &printed = m_pages[kind][size_t(page)];
    std::vector<QuestionTruth> truths = boxesOf(printed, *m_questionnaire);
    QImage image = rendered(kind, dpi, page).copy();
    markPage(image, truths, int(m_totals[degraded].pages), dpi, m_marksUsed);
    const QImage scan = spoil(image, spoiling, dpi, quint32(m_totals[degraded].pages + 1));

    const QString name = QString::fromUtf8(QTest::currentDataTag()).section(QLatin1Char(','), 1).trimmed();
    const Counts counts = readAndCount(scan, printed, truths, name);
    m_totals[degraded].add(counts);
    if (!degraded)
        QCOMPARE(counts.askedDoubtful, 0);
}

Counts TestCopyReading::readAndCount(const QImage &scan, const CopyPage &printed, const std::vector<QuestionTruth> &truths,
                                     const QString &name)
{
    const ScannedPage scanned(scan);
    Counts counts;
    counts.pages = 1;
    [&] {
        if (!scanned.readable()) {
            counts.pagesUnread = 1;
            QFAIL("page non lue");
        }
        QCOMPARE(scanned.payload(), printed.payload);
        const ReadPage read = CopyPageReader::read(scanned, *m_questionnaire, m_questionnaire->fingerprint());
        QCOMPARE(int(read.problem), int(ReadPage::Problem::None));
        QCOMPARE(read.questions.size(), truths.size());
        counts = compare(read, truths);
        qInfo("%s", qPrintable(counts.text()));
        QCOMPARE(counts.misread, 0);
        QCOMPARE(counts.questionsMisread, 0);
    }();
    m_byDegradation[name].add(counts);
    return counts;
}

// Marks no rule can be sure of, alone on their question: a fine tick blurred by the scan, a
// ring round the box, a very light pencil, a stroke on the box's outline. Each is read as
// ticked when it clearly is, else offered to the teacher: never read as empty.
void TestCopyReading::unsureMarks_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<Spoiling>("spoiling");
    QTest::addColumn<int>("page");
    const auto blurPixels = [](double pixels, double dpi) { return spoilt(0.5, 1, 3, pixels * 72 / dpi, 0, false, false); };
    for (CopyLayout layout : {CopyLayout::BoxesBeside, CopyLayout::AnswerSheet}) {
        const char *kind = layout == CopyLayout::BoxesBeside ? "cases" : "feuille";
        for (int page = 0; page < (layout == CopyLayout::BoxesBeside ? 2 : 1); ++page) {
            QTest::addRow("%s p%d, marques incertaines, 150 ppp, flou 1,4 px", kind, page + 1)
                << int(layout) << 150.0 << blurPixels(1.4, 150) << page;
            QTest::addRow("%s p%d, marques incertaines, 200 ppp, flou 1,4 px", kind, page + 1)
                << int(layout) << 200.0 << blurPixels(1.4, 200) << page;
            QTest::addRow("%s p%d, marques incertaines, 300 ppp, propre", kind, page + 1)
                << int(layout) << 300.0 << spoilt(0, 1, 0, 0, 0, false, false) << page;
            QTest::addRow("%s p%d, marques incertaines, 200 ppp, +2 degres, JPEG 30", kind, page + 1)
                << int(layout) << 200.0 << spoilt(2, 1, 4, 0, 30, false, true) << page;
        }
    }
}

void TestCopyReading::unsureMarks()
{
    QFETCH(int, layout);
    QFETCH(double, dpi);
    QFETCH(Spoiling, spoiling);
    QFETCH(int, page);
    const CopyLayout kind = CopyLayout(layout);
    const CopyPage &printed = m_pages[kind][size_t(page)];
    std::vector<QuestionTruth> truths = boxesOf(printed, *m_questionnaire);
    QImage image = rendered(kind, dpi, page).copy();
    markPage(image, truths, page + int(dpi), dpi, m_marksUsed, MarkMix::Unsure);
    const QImage scan = spoil(image, spoiling, dpi, quint32(dpi));
    const QString name = QString::fromUtf8(QTest::currentDataTag()).section(QLatin1Char(','), 1).trimmed();
    m_unsure.add(readAndCount(scan, printed, truths, name));
}

// The picture files copiers write, read back through ScanFile as the program reads them:
// 600 dpi grey and 1-bit PNG, grey (LZW) and 1-bit G4 TIFF, of one page or several.
void TestCopyReading::pictureFiles_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<bool>("blackAndWhite");
    QTest::addColumn<int>("pages");
    QTest::newRow("PNG gris 600 ppp") << "png" << 600.0 << false << 1;
    QTest::newRow("PNG 1 bit 600 ppp") << "png" << 600.0 << true << 1;
    QTest::newRow("PNG 1 bit 300 ppp") << "png" << 300.0 << true << 1;
    QTest::newRow("TIFF gris 600 ppp") << "tiff" << 600.0 << false << 1;
    QTest::newRow("TIFF G4 600 ppp") << "tiff" << 600.0 << true << 1;
    QTest::newRow("TIFF G4 300 ppp, 2 pages") << "tiff" << 300.0 << true << 2;
    QTest::newRow("TIFF gris 300 ppp, 2 pages") << "tiff" << 300.0 << false << 2;
}

void TestCopyReading::pictureFiles()
{
    QFETCH(QString, format);
    QFETCH(double, dpi);
    QFETCH(bool, blackAndWhite);
    QFETCH(int, pages);
    const CopyLayout kind = CopyLayout::BoxesBeside;
    std::vector<QImage> scans;
    std::vector<std::vector<QuestionTruth>> truths;
    for (int page = 0; page < pages; ++page) {
        truths.push_back(boxesOf(m_pages[kind][size_t(page)], *m_questionnaire));
        QImage image = rendered(kind, dpi, page).copy();
        markPage(image, truths.back(), page + 3, dpi, m_marksUsed);
        scans.push_back(spoil(image, spoilt(-0.7, 1, 6, 0, 0, blackAndWhite, false), dpi, quint32(page + 5)));
    }
    const QString path = m_dir.filePath(QStringLiteral("%1.%2").arg(QString::fromUtf8(QTest::currentDataTag()), format));
    if (format == QLatin1String("png"))
        QVERIFY(scans.front().save(path, "PNG"));
    else
        QVERIFY(writeTiff(path, scans, blackAndWhite, int(dpi)));
    scans.clear();

    const ScanFile file(path);
    QCOMPARE(file.pageCount(), pages);
    for (int page = 0; page < pages; ++page) {
        const QImage read = file.page(page);
        // Averaged down by a whole factor as it is decoded: never held finer than 1.6 times the
        // reading's resolution (a 300 dpi page is read as it is).
        QVERIFY2(std::max(read.width(), read.height()) <= 11.7 * 1.6 * ScanFile::Dpi, qPrintable(path));
        readAndCount(read, m_pages[kind][size_t(page)], truths[size_t(page)], QString::fromUtf8(QTest::currentDataTag()));
    }
}

void TestCopyReading::cleanupTestCase()
{
    QStringList used;
    for (const auto &[name, count] : m_marksUsed)
        used << QStringLiteral("%1 %2").arg(count).arg(name);
    qInfo("Marques : %s", qPrintable(used.join(QStringLiteral(", "))));
    qInfo("Pages propres : %s", qPrintable(m_totals[false].text()));
    qInfo("Pages abîmées : %s", qPrintable(m_totals[true].text()));
    qInfo("Marques incertaines : %s", qPrintable(m_unsure.text()));
    qInfo("%s", qPrintable(QStringLiteral("%1 | %2 | %3 | %4 | %5")
                               .arg(QStringLiteral("dégradation"), -64)
                               .arg(QStringLiteral("cases"), 6)
                               .arg(QStringLiteral("justes"), 6)
                               .arg(QStringLiteral("dout."), 5)
                               .arg(QStringLiteral("faux"), 4)));
    Counts all;
    for (const auto &[name, counts] : m_byDegradation) {
        qInfo("%s", qPrintable(counts.row(name)));
        all.add(counts);
    }
    qInfo("%s", qPrintable(all.row(QStringLiteral("total"))));
    const Counts &degraded = m_totals[true];
    for (const auto &[clean, counts] : std::map<bool, Counts>{{true, m_totals[false]}, {false, degraded}})
        qInfo("Cases marquées comme la copie le demande, pages %s : %d, dont %d douteuses (%.2f %%)",
              clean ? "propres" : "abîmées", counts.askedBoxes, counts.askedDoubtful,
              counts.askedBoxes ? 100.0 * counts.askedDoubtful / counts.askedBoxes : 0.0);
    QCOMPARE(m_totals[false].askedDoubtful, 0);
    QVERIFY2(degraded.askedDoubtful * 100 <= degraded.askedBoxes, "plus de 1 % de cases douteuses");
    QCOMPARE(all.misread, 0);
}

// Every layout of PNG and TIFF a scanner may write decodes to the grey Qt sees in it, and is
// averaged down by the whole factor asked.
void TestCopyReading::pictureDecoding_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("magick"); // ImageMagick's options for what Qt does not write
    QTest::addColumn<int>("tolerance");  // grey levels
    QTest::newRow("PNG gris") << "png" << int(QImage::Format_Grayscale8) << QString() << 1;
    QTest::newRow("PNG 16 bits") << "png" << int(QImage::Format_Grayscale16) << QString() << 2;
    QTest::newRow("PNG 1 bit") << "png" << int(QImage::Format_Mono) << QString() << 1;
    QTest::newRow("PNG palette") << "png" << int(QImage::Format_Indexed8) << QString() << 2;
    QTest::newRow("PNG couleur et alpha") << "png" << int(QImage::Format_ARGB32) << QString() << 2;
    QTest::newRow("PNG entrelacé") << "png" << int(QImage::Format_RGB32) << "-interlace PNG" << 2;
    QTest::newRow("TIFF couleur") << "tif" << int(QImage::Format_RGB32) << QString() << 1;
    QTest::newRow("TIFF palette") << "tif" << int(QImage::Format_Indexed8) << QString() << 1;
    // Qt and libtiff bring a JPEG's halved colours back to full size each their own way.
    QTest::newRow("TIFF JPEG") << "tif" << int(QImage::Format_RGB32) << "-compress JPEG -quality 100" << 12;
    QTest::newRow("TIFF en tuiles") << "tif" << int(QImage::Format_RGB32) << "-define tiff:tile-geometry=64x64" << 1;
}

void TestCopyReading::pictureDecoding()
{
    QFETCH(QString, suffix);
    QFETCH(int, format);
    QFETCH(QString, magick);
    QFETCH(int, tolerance);
    QImage picture(301, 203, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x * 255 / 300, y * 255 / 202, (x + y) % 256 < 128 ? 40 : 220));
    }
    QImage stored = picture.convertToFormat(QImage::Format(format), Qt::ThresholdDither);
    const QString path = m_dir.filePath(QStringLiteral("decodage.") + suffix);
    if (magick.isEmpty()) {
        QVERIFY(stored.save(path));
    } else {
        const QString source = m_dir.filePath(QStringLiteral("source.png"));
        QVERIFY(stored.save(source));
        QCOMPARE(QProcess::execute(QStringLiteral("convert"), QStringList{source} + magick.split(QLatin1Char(' ')) + QStringList{path}), 0);
    }
    // What Qt decodes, made grey with the weights of ITU-R BT.601, as the readers do.
    const QImage decoded = QImage(path).convertToFormat(QImage::Format_RGB32);
    QVERIFY(!decoded.isNull());
    QImage expected(decoded.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < decoded.height(); ++y) {
        for (int x = 0; x < decoded.width(); ++x) {
            const QRgb rgb = decoded.pixel(x, y);
            expected.scanLine(y)[x] = uchar((77 * qRed(rgb) + 150 * qGreen(rgb) + 29 * qBlue(rgb) + 128) >> 8);
        }
    }
    const bool png = suffix == QLatin1String("png");
    QCOMPARE(int(PagePictureFile::kindOf(path)), int(png ? PagePictureFile::Kind::Png : PagePictureFile::Kind::Tiff));
    // Whole size (a resolution far above the picture's), then averaged by three.
    for (const auto &[dpi, factor] : {std::pair<double, int>{1000, 1}, {301.0 / 3, 3}}) {
        const QImage read = png ? PagePictureFile::readPng(path, dpi, 1) : PagePictureFile::readTiff(path, 0, dpi, 1);
        QCOMPARE(read.size(), QSize((301 + factor - 1) / factor, (203 + factor - 1) / factor));
        int worst = 0;
        for (int y = 0; y + 1 < read.height(); ++y) {
            for (int x = 0; x + 1 < read.width(); ++x) {
                int sum = 0;
                for (int v = 0; v < factor; ++v) {
                    for (int u = 0; u < factor; ++u)
                        sum += expected.constScanLine(y * factor + v)[x * factor + u];
                }
                worst = std::max(worst, std::abs(sum / (factor * factor) - read.constScanLine(y)[x]));
            }
        }
        QVERIFY2(worst <= tolerance, qPrintable(QStringLiteral("écart %1 au facteur %2").arg(worst).arg(factor)));
    }
}

// How a page fails to be a copy this program can read, painted over a clean copy drawn at 150 dpi.
enum class Spoilt { Nothing, Empty, WhitePage, MarkWiped, MarkBlotted, CodeWiped, OtherCode, FutureLayout };

void TestCopyReading::pagesNotRead_data()
{
    QTest::addColumn<int>("spoilt");
    QTest::addColumn<int>("problem");
    QTest::newRow("copie lisible") << int(Spoilt::Nothing) << int(ScannedPage::Problem::None);
    QTest::newRow("image vide") << int(Spoilt::Empty) << int(ScannedPage::Problem::Blank);
    QTest::newRow("page blanche") << int(Spoilt::WhitePage) << int(ScannedPage::Problem::NoMarks);
    QTest::newRow("carré du coin effacé") << int(Spoilt::MarkWiped) << int(ScannedPage::Problem::NoMarks);
    QTest::newRow("carré du coin dans une tache") << int(Spoilt::MarkBlotted) << int(ScannedPage::Problem::NoMarks);
    QTest::newRow("code effacé") << int(Spoilt::CodeWiped) << int(ScannedPage::Problem::NoCode);
    QTest::newRow("code d'un autre programme") << int(Spoilt::OtherCode) << int(ScannedPage::Problem::UnknownCode);
    QTest::newRow("mise en page inconnue") << int(Spoilt::FutureLayout) << int(ScannedPage::Problem::UnknownLayout);
}

void TestCopyReading::pagesNotRead()
{
    QFETCH(int, spoilt);
    QFETCH(int, problem);
    constexpr double Dpi = 150;
    QImage page = rendered(CopyLayout::BoxesBeside, Dpi, 0).copy();
    const auto pixels = [](const QRectF &points) { return QRectF(points.topLeft() * Dpi / 72, points.size() * Dpi / 72); };
    QPainter painter(&page);
    const auto replaceCode = [&](const QByteArray &text) {
        painter.fillRect(pixels(CopyGeometry::codeArea()), Qt::white);
        QrSymbol::encode(text).draw(painter, pixels(CopyGeometry::codeArea()), 2);
    };
    switch (Spoilt(spoilt)) {
    case Spoilt::Nothing: break;
    case Spoilt::Empty: break;
    case Spoilt::WhitePage: painter.fillRect(page.rect(), Qt::white); break;
    case Spoilt::MarkWiped: painter.fillRect(pixels(CopyGeometry::cornerMark(CopyGeometry::BottomLeft)), Qt::white); break;
    case Spoilt::MarkBlotted:
        painter.fillRect(pixels(CopyGeometry::cornerMark(CopyGeometry::TopRight)).adjusted(-30, -10, 10, 30), Qt::black);
        break;
    case Spoilt::CodeWiped: painter.fillRect(pixels(CopyGeometry::codeArea()), Qt::white); break;
    case Spoilt::OtherCode: replaceCode("https://example.org/"); break;
    case Spoilt::FutureLayout: replaceCode("NQ2Z:0123456789ABCDEF:1:1:1:1:0:"); break;
    }
    painter.end();
    if (Spoilt(spoilt) == Spoilt::Empty)
        page = QImage();
    QCOMPARE(int(ScannedPage(page).problem()), problem);
}

QTEST_MAIN(TestCopyReading)
#include "tst_copyreading.moc"
