// Decoding a 4000x3000 JPEG through the picture loader, against djpeg writing a PPM of the same
// file in the same run; and a second drawing, which must not decode again.
#include "pictures/jpegpicture.h"
#include "pictures/picturerendercache.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdio>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

extern char **environ;

namespace {

const char *const Photo = NELO_BENCH_PHOTO;
std::string g_ppmPath;

void DjpegToPpm(benchmark::State &state)
{
    const char *argv[] = {NELO_DJPEG, "-outfile", g_ppmPath.c_str(), Photo, nullptr};
    for (auto _ : state) {
        pid_t pid;
        if (posix_spawn(&pid, NELO_DJPEG, nullptr, nullptr, const_cast<char **>(argv), environ) != 0) {
            state.SkipWithError("djpeg did not start");
            return;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("djpeg failed");
            return;
        }
    }
}

void LoaderDecode(benchmark::State &state)
{
    for (auto _ : state) {
        JpegPicture picture(24);
        picture.loadFromFile(QString::fromUtf8(Photo));
        picture.prepare();
        benchmark::DoNotOptimize(picture.image().constBits());
        if (picture.decodeCount() != 1 || picture.image().size() != QSize(4000, 3000)) {
            state.SkipWithError("not decoded");
            return;
        }
    }
}

void SecondDrawing(benchmark::State &state)
{
    JpegPicture picture(24);
    picture.loadFromFile(QString::fromUtf8(Photo));
    picture.prepare();
    QImage frame(280, 215, QImage::Format_RGB32);
    PictureRenderCache cache;
    {
        QPainter painter(&frame);
        cache.paint(painter, picture, frame.rect(), frame.rect(), 1.0);
    }
    for (auto _ : state) {
        QPainter painter(&frame);
        cache.paint(painter, picture, frame.rect(), frame.rect(), 1.0);
    }
    state.counters["decodes"] = picture.decodeCount();
    state.counters["renders"] = cache.renderCount();
}

// Keeps each benchmark's mean real time so the ratio can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> seconds;

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                seconds[run.run_name.function_name] = run.real_accumulated_time / double(run.iterations);
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

BENCHMARK(DjpegToPpm)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(LoaderDecode)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(SecondDrawing)->Unit(benchmark::kMicrosecond)->UseRealTime();

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    g_ppmPath = dir.filePath(QStringLiteral("photo.ppm")).toStdString();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double djpeg = reporter.seconds["DjpegToPpm"];
    const double ours = reporter.seconds["LoaderDecode"];
    const double second = reporter.seconds["SecondDrawing"];
    if (djpeg > 0 && ours > 0) {
        std::printf("\nJPEG 4000x3000: loader / djpeg = %.3f (target <= 1.10)\n", ours / djpeg);
        std::printf("second drawing / loader decode = %.6f (no decoding)\n", second / ours);
    }
    benchmark::Shutdown();
    return 0;
}
