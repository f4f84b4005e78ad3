// Kept results and the paper test at class size: adding a run to a results file of 1,000 earlier
// runs of a 200-question questionnaire, and the statistics over it, against reading the file's
// bytes alone; adding a run to a results file of 60 MB (years of a school's runs), against
// reading its bytes in the same iteration, with the memory the addition takes; the paper layout
// of a 1,000-question questionnaire, against measuring its texts; printing the results of a run
// of 10,000 questions to a PDF file, against a run of 1,000 (the pages must cost in proportion
// to the rows: at most some 12 times as much).
#include "medianreporter.h"
#include "document/qcmfile.h"
#include "printing/paperlayout.h"
#include "results/csvtext.h"
#include "results/reportpages.h"
#include "results/resultsfile.h"
#include "results/resultsstatistics.h"
#include "document/classsettings.h"
#include "runner/resultsreport.h"

#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>

#include <cstdio>
#include <map>

namespace {

constexpr int Questions = 200;
constexpr int EarlierRuns = 1000;

// With `several`, every fourth question has two right answers and some pupils tick two answers
// on it, and every tenth question is left out of every other pupil's version.
KeptRun runOf(int pupil, bool several = false)
{
    KeptRun run{QDateTime(QDate(2026, 3, 9), QTime(10, 0)), QStringLiteral("Élève %1").arg(pupil), {}};
    for (int q = 0; q < Questions; ++q) {
        RunResultRow row;
        row.title = QStringLiteral("Question %1 sur les capitales").arg(q + 1);
        row.answer = (q + pupil) % 6;
        row.ticked = AnswerSets::of(row.answer);
        if (several && q % 4 == 0 && row.answer > 0 && pupil % 3 != 0)
            row.ticked |= AnswerSets::of(row.answer % 5 + 1);
        row.drawn = !(several && q % 10 == 9 && pupil % 2 == 1);
        row.solution = (q % 5) + 1;
        row.right = row.drawn && row.ticked == AnswerSets::of(*row.solution);
        run.results.rightCount += row.right ? 1 : 0;
        run.results.rows.push_back(row);
    }
    return run;
}

// A results file of 1,000 runs, made once.
const QString &classFile(bool several = false)
{
    static QTemporaryDir dir;
    static const QString paths[] = {dir.filePath(QStringLiteral("classe-resultats.csv")),
                                    dir.filePath(QStringLiteral("plusieurs-resultats.csv"))};
    const QString &file = paths[several ? 1 : 0];
    if (!QFileInfo::exists(file)) {
        for (int pupil = 0; pupil < EarlierRuns; ++pupil)
            ResultsFile::append(file, runOf(pupil, several));
    }
    return file;
}

void BM_ReadBytesBaseline(benchmark::State &state)
{
    const QString &path = classFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(QcmFile::read(path));
}

void BM_AppendRun(benchmark::State &state)
{
    const QString &path = classFile();
    const QByteArray original = QcmFile::read(path);
    const KeptRun run = runOf(EarlierRuns);
    for (auto _ : state) {
        ResultsFile::append(path, run);
        state.PauseTiming();
        QcmFile::write(path, original);
        state.ResumeTiming();
    }
}

constexpr qint64 LargeFileBytes = qint64(60) * 1024 * 1024;

// A results file of about 60 MB, made once, its rows written directly.
const QString &largeFile()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("ecole-resultats.csv"));
        QByteArray bytes(CsvText::ByteOrderMark);
        bytes += CsvText::row(ResultsFile::header(runOf(0).results));
        std::vector<QByteArray> rows;
        for (int pupil = 0; pupil < 30; ++pupil)
            rows.push_back(CsvText::row(ResultsFile::row(runOf(pupil))));
        bytes.reserve(LargeFileBytes + 1024);
        for (size_t i = 0; bytes.size() < LargeFileBytes; ++i)
            bytes += rows[i % rows.size()];
        QcmFile::write(file, bytes);
        return file;
    }();
    return path;
}

// Kibibytes of a line of /proc/self/status ("VmRSS", "VmHWM"); 0 where there is none.
double statusKib(const std::string &field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, field.size() + 1, field + ":") == 0)
            return std::stod(line.substr(field.size() + 1));
    }
    return 0;
}

// The peak resident size starts again from the present one (Linux 4.0 and later), memory freed
// earlier given back first, so that what is measured next is not served from it unseen.
void resetPeakMemory()
{
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Reading the file's bytes and adding one run take turns in every iteration, so a machine that
// gets busier weighs on both alike; the file is cut back to its size after each addition.
void BM_AppendToLargeFile(benchmark::State &state)
{
    const QString &path = largeFile();
    const qint64 size = QFileInfo(path).size();
    const KeptRun run = runOf(EarlierRuns);
    std::vector<double> readSeconds, appendSeconds, appendPeakMib, readPeakMib;
    const auto seconds = [](auto start) {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    for (auto _ : state) {
        resetPeakMemory();
        double before = statusKib("VmRSS");
        auto start = std::chrono::steady_clock::now();
        {
            const QByteArray bytes = QcmFile::read(path);
            benchmark::DoNotOptimize(bytes.constData());
        }
        readSeconds.push_back(seconds(start));
        readPeakMib.push_back((statusKib("VmHWM") - before) / 1024);

        resetPeakMemory();
        before = statusKib("VmRSS");
        start = std::chrono::steady_clock::now();
        ResultsFile::append(path, run);
        const double appended = seconds(start);
        appendSeconds.push_back(appended);
        appendPeakMib.push_back((statusKib("VmHWM") - before) / 1024);
        state.SetIterationTime(appended);

        QFile file(path);
        if (!file.resize(size)) {
            state.SkipWithError("the file could not be cut back");
            return;
        }
    }
    state.counters["read_ms"] = median(readSeconds) * 1000;
    state.counters["append_ms"] = median(appendSeconds) * 1000;
    state.counters["ratio_to_read"] = median(appendSeconds) / median(readSeconds);
    state.counters["read_peak_MiB"] = median(readPeakMib);
    state.counters["append_peak_MiB"] = median(appendPeakMib);
    state.counters["file_MiB"] = double(size) / (1024 * 1024);
}

// The questionnaire of the class files; with `several`, every fourth question's right answers
// are its "REPONSE " one and the next, marked with partial credit.
ClassQuestionnaire classQuestionnaire(bool several)
{
    QStringList lines;
    for (int q = 0; q < Questions; ++q) {
        lines << QcmFormat::openingTag(q) << QStringLiteral("TITLE Question %1 sur les capitales").arg(q + 1)
              << QStringLiteral("PICTURE ");
        for (int a = 1; a <= QcmFormat::AnswerCount; ++a)
            lines << QcmFormat::answerKeyword(a) + QStringLiteral("Ville %1").arg(a);
        const int right = (q % 5) + 1;
        lines << QStringLiteral("REPONSE %1").arg(right);
        if (several && q % 4 == 0 && right < QcmFormat::AnswerCount)
            lines << QStringLiteral("Correction :") << QStringLiteral("Bonnes réponses : %1, %2").arg(right).arg(right + 1);
        lines << QcmFormat::closingTag(q);
    }
    ClassSettings settings;
    settings.severalMarking = ClassSettings::SeveralMarking::Partial;
    return ClassQuestionnaire::fromLines(several ? ClassSettingsFormat::withSettings(lines, settings) : lines);
}

// Reading the file and working the statistics out, as the window's command does: one-answer
// runs (0), then runs with sets and questions drawn per pupil (1).
void BM_Statistics(benchmark::State &state)
{
    const bool several = state.range(0) != 0;
    const QString &path = classFile(several);
    const ClassQuestionnaire questionnaire = classQuestionnaire(several);
    for (auto _ : state)
        benchmark::DoNotOptimize(ResultsStatistics::of(ResultsFile::read(path), questionnaire));
}

// The statistics alone, from the file already read.
void BM_StatisticsOfSheet(benchmark::State &state)
{
    const bool several = state.range(0) != 0;
    const ResultsSheet sheet = ResultsFile::read(classFile(several));
    const ClassQuestionnaire questionnaire = classQuestionnaire(several);
    for (auto _ : state)
        benchmark::DoNotOptimize(ResultsStatistics::of(sheet, questionnaire));
}

std::vector<PaperQuestion> paperQuestions(int count)
{
    std::vector<PaperQuestion> questions(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        PaperQuestion &question = questions[size_t(i)];
        question.title = QStringLiteral("Quelle est la capitale du pays numéro %1 ?").arg(i + 1);
        question.freeText << QStringLiteral("Un indice : elle est au bord d'un fleuve.");
        if (i % 4 == 0)
            question.pictureSize = QSizeF(640, 480);
        for (int a = 0; a < QcmFormat::AnswerCount; ++a)
            question.answers[size_t(a)] = QStringLiteral("Ville %1").arg(a + 1);
        question.solution = (i % 5) + 1;
    }
    return questions;
}

const QSizeF A4Area(510, 757);

void BM_MeasureTextsBaseline(benchmark::State &state)
{
    const std::vector<PaperQuestion> questions = paperQuestions(int(state.range(0)));
    const PaperLayout::Fonts fonts = PaperLayout::fonts();
    const QFontMetricsF title(fonts.title), text(fonts.text);
    for (auto _ : state) {
        qreal total = 0;
        for (const PaperQuestion &question : questions) {
            total += title.horizontalAdvance(question.title) + text.horizontalAdvance(question.freeText.front());
            for (const QString &answer : question.answers)
                total += text.horizontalAdvance(answer);
        }
        benchmark::DoNotOptimize(total);
    }
}

void BM_PaperLayout(benchmark::State &state)
{
    const std::vector<PaperQuestion> questions = paperQuestions(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(PaperLayout::layOut(QStringLiteral("Capitales"), questions, A4Area, true));
}

void BM_PrintResults(benchmark::State &state)
{
    const int questions = int(state.range(0));
    RunResults results;
    for (int q = 0; q < questions; ++q) {
        const int answer = q % 6;
        results.rows.push_back({QStringLiteral("Quelle est la capitale du pays numéro %1 ?").arg(q + 1), answer, (q % 5) + 1,
                                answer == (q % 5) + 1});
    }
    const Report report =
        ResultsReport::report(QStringLiteral("Capitales"), QStringLiteral("Léa"), QDateTime(QDate(2026, 3, 9), QTime(10, 0)), results);
    QTemporaryDir dir;
    int pages = 0;
    for (auto _ : state) {
        QPdfWriter writer(dir.filePath(QStringLiteral("resultats.pdf")));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer.setResolution(1200);
        const ReportPages layout = ReportPages::layOut(report, writer.pageLayout().paintRect(QPageLayout::Point).size());
        QPainter painter(&writer);
        layout.draw(painter, writer);
        pages = layout.pageCount();
    }
    state.counters["pages"] = pages;
}

} // namespace

BENCHMARK(BM_ReadBytesBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendRun)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendToLargeFile)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(9);
BENCHMARK(BM_Statistics)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_StatisticsOfSheet)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_MeasureTextsBaseline)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaperLayout)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintResults)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv); // fonts need it
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const std::string small = "BM_PrintResults/1000", large = "BM_PrintResults/10000";
    if (reporter.seconds(small) > 0 && reporter.cpuSeconds(small) > 0)
        std::printf("\nPrinting results: 10,000 questions / 1,000 questions = %.2f real, %.2f processor "
                    "(linear: 10, target <= 12)\n",
                    reporter.seconds(large) / reporter.seconds(small), reporter.cpuSeconds(large) / reporter.cpuSeconds(small));
    const std::string oneAnswer = "BM_Statistics/0", several = "BM_Statistics/1";
    if (reporter.seconds(oneAnswer) > 0 && reporter.seconds("BM_ReadBytesBaseline") > 0)
        std::printf("Statistics of 1,000 runs x 200 questions, read from the file (medians): several answers / one answer "
                    "= %.2f, one answer / reading the bytes = %.2f, several answers / reading the bytes = %.2f "
                    "(target: several answers <= 100 ms, here %.1f ms)\n",
                    reporter.seconds(several) / reporter.seconds(oneAnswer),
                    reporter.seconds(oneAnswer) / reporter.seconds("BM_ReadBytesBaseline"),
                    reporter.seconds(several) / reporter.seconds("BM_ReadBytesBaseline"), reporter.seconds(several) * 1000);
    if (reporter.cpuSeconds(oneAnswer) > 0)
        std::printf("The same in processor time (a busy machine stretches the real time): several answers / one "
                    "answer = %.2f, several answers %.1f ms\n",
                    reporter.cpuSeconds(several) / reporter.cpuSeconds(oneAnswer), reporter.cpuSeconds(several) * 1000);
    if (reporter.seconds("BM_StatisticsOfSheet/0") > 0)
        std::printf("Statistics alone, the file already read (medians): several answers / one answer = %.2f\n",
                    reporter.seconds("BM_StatisticsOfSheet/1") / reporter.seconds("BM_StatisticsOfSheet/0"));
    benchmark::Shutdown();
    return 0;
}
