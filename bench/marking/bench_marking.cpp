// Paper copies read from scans. A 300 dpi A4 page of 20 questions (the answer sheet: 70 boxes,
// some blackened) read whole: corner marks, code, every box measured and decided; against
// Poppler drawing that same page at 300 dpi in the same run. Then a pile of 60 scanned pages
// in one PDF marked page after page: the memory the process takes at its peak, against the
// same for one page. And one marked page read from its file as copiers write it: a 300 dpi PDF,
// a 600 dpi grey PNG, a 600 dpi black and white CCITT G4 TIFF, each with its peak memory.
#include "markedcorpus.h"

#include "marking/copypagereader.h"
#include "marking/markingsession.h"
#include "marking/scannedpage.h"
#include "medianreporter.h"

#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <opencv2/core/utility.hpp>

#include <cstdio>

namespace {

constexpr int Questions = 20;
constexpr int PilePages = 60;

struct Corpus
{
    QTemporaryDir dir;
    std::shared_ptr<const ClassQuestionnaire> questionnaire = MarkedCorpus::questionnaire(Questions, true);
    PictureRegistry pictures;
    QString copiesPdf;
    QString pilePdf;
    QImage markedPage300;
    QString markedPdf300; // the marked page as a copier's 300 dpi PDF
    QString greyPng600;   // the marked page scanned at 600 dpi in grey
    QString g4Tiff600;    // the same in black and white, CCITT G4

    Corpus()
    {
        PaperCopies copies(QStringLiteral("Banc"), questionnaire, pictures);
        copiesPdf = dir.filePath(QStringLiteral("copies.pdf"));
        const std::vector<PrintedCopy> one = {{1, QString(), 42}};
        const std::vector<CopyPage> pages = MarkedCorpus::print(copies, one, CopyLayout::AnswerSheet, copiesPdf).front();
        markedPage300 = mark(ScanFile(copiesPdf).page(0, 300), 300);
        markedPdf300 = dir.filePath(QStringLiteral("marked-300.pdf"));
        {
            QPdfWriter writer(markedPdf300);
            writer.setResolution(300);
            writer.setPageSize(QPageSize(QPageSize::A4));
            writer.setPageMargins(QMarginsF());
            QPainter painter(&writer);
            painter.drawImage(QRect(0, 0, writer.width(), writer.height()),
                              markedPage300.convertToFormat(QImage::Format_Grayscale8));
        }
        {
            const QImage page600 = mark(ScanFile(copiesPdf).page(0, 600), 600).convertToFormat(QImage::Format_Grayscale8);
            greyPng600 = dir.filePath(QStringLiteral("page-600.png"));
            page600.save(greyPng600, "PNG");
            g4Tiff600 = dir.filePath(QStringLiteral("page-600.tif"));
            MarkedCorpus::writeTiff(g4Tiff600, {page600}, true, 600);
        }
        pilePdf = makePile();
    }

    // Every third box blackened, one in seven crossed.
    static QImage mark(const QImage &page, double dpi)
    {
        QImage image = page.convertToFormat(QImage::Format_RGB32);
        QRandomGenerator random(3);
        for (int slot = 0; slot < Questions; ++slot) {
            const QRectF box = CopyGeometry::sheetBox(slot, 1 + slot % 2);
            MarkedCorpus::drawMark(image, QRectF(box.topLeft() * dpi / 72, box.size() * dpi / 72),
                                   slot % 7 ? MarkedCorpus::Mark::Filled : MarkedCorpus::Mark::Crossed, random);
        }
        return image;
    }

    // What a copier makes of 60 answer sheets: one picture per page, grey, at 200 dpi.
    QString makePile()
    {
        PaperCopies copies(QStringLiteral("Banc"), questionnaire, pictures);
        const QString printed = dir.filePath(QStringLiteral("pile-printed.pdf"));
        QPdfWriter sheets(printed);
        copies.print(sheets, PaperCopies::numbered(PilePages, [] { return quint64(7); }), CopyLayout::AnswerSheet);
        const QString pile = dir.filePath(QStringLiteral("pile.pdf"));
        QPdfWriter writer(pile);
        writer.setResolution(200);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF());
        QPainter painter(&writer);
        const ScanFile source(printed);
        for (int page = 0; page < PilePages; ++page) {
            if (page > 0)
                writer.newPage();
            const QImage scan = mark(source.page(page, 200), 200).convertToFormat(QImage::Format_Grayscale8);
            painter.drawImage(QRect(0, 0, writer.width(), writer.height()), scan);
        }
        return pile;
    }
};

Corpus &corpus()
{
    static Corpus instance;
    return instance;
}

void BM_PopplerRender300(benchmark::State &state)
{
    const ScanFile file(corpus().copiesPdf);
    for (auto _ : state)
        benchmark::DoNotOptimize(file.page(0, 300).constBits());
}

void BM_ReadPage300(benchmark::State &state)
{
    const Corpus &c = corpus();
    const QString fingerprint = c.questionnaire->fingerprint();
    int boxes = 0;
    for (auto _ : state) {
        const ScannedPage page(c.markedPage300);
        const ReadPage read = CopyPageReader::read(page, *c.questionnaire, fingerprint);
        boxes = 0;
        for (const ReadQuestion &question : read.questions) {
            std::vector<BoxMeasure> measures;
            for (const ReadBox &box : question.boxes)
                measures.push_back(box.measure);
            benchmark::DoNotOptimize(BoxDecision::read(measures).chosen);
            boxes += int(measures.size());
        }
    }
    state.counters["boxes"] = boxes;
}

// The process's peak resident memory in megabytes, and a fresh start for the next peak.
double peakMegabytes(bool reset)
{
    double peak = 0;
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                peak = line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
        }
    }
    if (reset) {
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        if (clear.open(QIODevice::WriteOnly))
            clear.write("5");
    }
    return peak;
}

// A page file read whole as the program reads it: drawn or decoded, found, every box measured.
// Its memory is measured apart, in a process of its own (see peakOf): here the heap already
// holds what making the corpus took.
void readPageFile(benchmark::State &state, const QString &path)
{
    const Corpus &c = corpus();
    const QString fingerprint = c.questionnaire->fingerprint();
    int boxes = 0;
    for (auto _ : state) {
        const ScanFile file(path);
        const ScannedPage page(file.page(0));
        const ReadPage read = CopyPageReader::read(page, *c.questionnaire, fingerprint);
        boxes = 0;
        for (const ReadQuestion &question : read.questions)
            boxes += int(question.boxes.size());
    }
    state.counters["boxes"] = boxes;
}

void BM_ReadPdf300(benchmark::State &state)
{
    readPageFile(state, corpus().markedPdf300);
}

void BM_ReadGreyPng600(benchmark::State &state)
{
    readPageFile(state, corpus().greyPng600);
}

void BM_ReadG4Tiff600(benchmark::State &state)
{
    readPageFile(state, corpus().g4Tiff600);
}

void BM_MarkPile(benchmark::State &state)
{
    const int pages = int(state.range(0));
    const Corpus &c = corpus();
    for (auto _ : state) {
        peakMegabytes(true);
        const double before = peakMegabytes(false);
        MarkingSession session(c.questionnaire);
        const ScanFile file(c.pilePdf);
        for (int page = 0; page < pages; ++page)
            session.addPage(file.page(page), {QStringLiteral("pile.pdf"), page + 1});
        state.counters["copies"] = double(session.copies().size());
        state.counters["peak_MB_above_start"] = peakMegabytes(false) - before;
    }
}

} // namespace

BENCHMARK(BM_PopplerRender300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadPage300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadPdf300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadGreyPng600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadG4Tiff600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkPile)->Arg(1)->Arg(PilePages)->Unit(benchmark::kMillisecond)->Iterations(1);

// The peak memory of a process of its own that reads one page file (or nothing, for
// "--peak-of -"): the process's whole footprint, not what a long run's heap already holds.
int peakOf(const QString &path)
{
    if (path != QLatin1String("-")) {
        const auto questionnaire = MarkedCorpus::questionnaire(Questions, true);
        const ScanFile file(path);
        const ScannedPage page(file.page(0));
        benchmark::DoNotOptimize(CopyPageReader::read(page, *questionnaire, questionnaire->fingerprint()).questions.size());
    }
    std::printf("%.1f\n", peakMegabytes(false));
    return 0;
}

double childPeak(const QString &path)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--peak-of"), path});
    if (!child.waitForFinished(120000))
        return 0;
    return child.readAllStandardOutput().trimmed().toDouble();
}

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv); // fonts, for printing the copies
    if (argc == 3 && QByteArray(argv[1]) == "--peak-of")
        return peakOf(QString::fromLocal8Bit(argv[2]));
    // One core, as the target says: OpenCV would otherwise share some stages among threads.
    cv::setNumThreads(1);
    benchmark::Initialize(&argc, argv);
    corpus();
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double render = reporter.seconds("BM_PopplerRender300");
    const double read = reporter.seconds("BM_ReadPage300");
    if (render > 0 && read > 0)
        std::printf("\nReading a 300 dpi page of %d questions: %.0f ms, %.2f x Poppler's drawing of it (%.0f ms); "
                    "targets <= 250 ms and <= 2 x\n",
                    Questions, read * 1000, read / render, render * 1000);
    const Corpus &c = corpus();
    const double idle = childPeak(QStringLiteral("-"));
    const std::pair<const char *, QString> files[] = {
        {"BM_ReadPdf300", c.markedPdf300}, {"BM_ReadGreyPng600", c.greyPng600}, {"BM_ReadG4Tiff600", c.g4Tiff600}};
    for (const auto &[name, path] : files) {
        const double file = reporter.seconds(name);
        const double peak = childPeak(path);
        if (render > 0 && file > 0)
            std::printf("%s: %.0f ms, %.2f x Poppler's drawing of the 300 dpi page; a process reading it peaks at "
                        "%.0f MB, %.0f MB above one reading nothing\n",
                        name, file * 1000, file / render, peak, peak - idle);
    }
    benchmark::Shutdown();
    return 0;
}
