// PCX decoding and encoding against ImageMagick and Pillow on the same files in the same run.
// ImageMagick is timed as `convert file ppm:-` minus its start-up on a one-pixel file; its
// encoding as `convert file.bmp pcx:-` minus `convert file.bmp null:`. Pillow is timed inside
// its own process around the decoding (Image.open + load) or the saving alone. The ratios
// printed at the end are our time divided by theirs: below 1 means we are faster.

#include "pictures/pcx/bmpfile.h"
#include "pictures/pcx/pcxdecoder.h"
#include "pictures/pcx/pcxencoder.h"
#include "pictures/pcx/pcx.h"

#include "medianreporter.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Sample
{
    std::string name;
    int width;
    int height;
    int bits;
    QString pcxPath;
    QString bmpPath;
    QByteArray pcx;
    QByteArray bmp;
};

// Deterministic noise, so every run decodes the same files.
quint32 noise(quint32 x, quint32 y)
{
    quint32 h = x * 0x9E3779B1u ^ (y + 0x7F4A7C15u) * 0x85EBCA77u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    return h ^ (h >> 12);
}

// Photograph-like content: smooth gradients with a little noise, so most values come as
// literals and short runs, the slow case for every run-length decoder.
int photoPixel(int x, int y, int width, int height)
{
    const int n = int(noise(quint32(x), quint32(y)) & 15) - 8;
    const int r = std::clamp(x * 255 / width + n, 0, 255);
    const int g = std::clamp(y * 255 / height - n, 0, 255);
    const int b = std::clamp((x + y) * 255 / (width + height) + n / 2, 0, 255);
    return r << 16 | g << 8 | b;
}

QByteArray makeBmp(int width, int height, int bits)
{
    BmpLayout layout;
    layout.width = width;
    layout.height = height;
    layout.bitsPerPixel = bits;
    layout.xPixelsPerMetre = layout.yPixelsPerMetre = 2835;
    if (bits == 1)
        layout.palette = greyPalette(2);
    else if (bits == 8)
        for (int i = 0; i < 256; ++i)
            layout.palette.push_back(PcxColour{quint8(i), quint8((i * 7) & 0xFF), quint8(255 - i)});
    qint64 size = 0;
    layout.fileSize(size);
    QByteArray file(size, '\0');
    auto *data = reinterpret_cast<uchar *>(file.data());
    writeBmpHeaders(layout, data);
    for (int y = 0; y < height; ++y) {
        uchar *row = data + layout.pixelOffset() + qint64(height - 1 - y) * layout.rowSize();
        for (int x = 0; x < width; ++x) {
            if (bits == 24) {
                const int p = photoPixel(x, y, width, height);
                row[3 * x] = uchar(p);
                row[3 * x + 1] = uchar(p >> 8);
                row[3 * x + 2] = uchar(p >> 16);
            } else if (bits == 8) {
                row[x] = uchar((x / 16 + y / 16 + (noise(quint32(x), quint32(y)) & 3)) & 0xFF);
            } else {
                // A gradient dithered with noise, as a scanned photograph: few runs.
                const int level = (x * 17 / width + y * 17 / height) / 2;
                if (level > int(noise(quint32(x), quint32(y)) & 15))
                    row[x / 8] |= uchar(0x80 >> (x % 8));
            }
        }
    }
    return file;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Wall time of one external command, its output thrown away.
double runSeconds(const QString &program, const QStringList &arguments, QByteArray *output = nullptr,
                  const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!output)
        process.setStandardOutputFile(QProcess::nullDevice());
    const auto start = Clock::now();
    process.start(program, arguments);
    process.waitForFinished(-1);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (output)
        *output = process.readAllStandardOutput();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return -1;
    return seconds;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

const char PillowScript[] = R"(
import io, sys, time
from PIL import Image
data = open(sys.argv[1], 'rb').read()
if sys.argv[2] == 'decode':
    start = time.perf_counter()
    im = Image.open(io.BytesIO(data))
    im.load()
    print(time.perf_counter() - start)
else:
    im = Image.open(io.BytesIO(data))
    im.load()
    out = io.BytesIO()
    start = time.perf_counter()
    im.save(out, 'PCX')
    print(time.perf_counter() - start)
)";

double pillowSeconds(const QString &path, const char *what)
{
    QByteArray output;
    if (runSeconds(QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral("-c"), QLatin1String(PillowScript), path, QLatin1String(what)}, &output) < 0)
        return -1;
    return output.trimmed().toDouble();
}

// Prints the ratios once all have run, from each run's median (see MedianReporter).
class RatioReporter : public MedianReporter
{
public:
    void Finalize() override
    {
        MedianReporter::Finalize();
        std::printf("\nRatios: our time / their time (below 1: ours is faster)\n");
        for (const auto &[name, ours] : allSeconds()) {
            if (name.find("/ours/") == std::string::npos && name.find("/picture/") == std::string::npos)
                continue;
            const std::string sample = name.substr(name.rfind('/') + 1);
            const std::string operation = name.substr(0, name.find('/'));
            const std::string baseline = operation == "load" ? "decode" : operation;
            const double magick = seconds(baseline + "/magick/" + sample);
            const double pillow = seconds(baseline + "/pillow/" + sample);
            std::printf("%-28s ours %9.2f ms", name.c_str(), ours * 1e3);
            double faster = 0;
            if (magick > 0) {
                std::printf("  vs ImageMagick %9.2f ms: %5.2f", magick * 1e3, ours / magick);
                faster = magick;
            }
            if (pillow > 0) {
                std::printf("  vs Pillow %9.2f ms: %5.2f", pillow * 1e3, ours / pillow);
                faster = faster > 0 ? std::min(faster, pillow) : pillow;
            }
            if (faster > 0)
                std::printf("  vs the faster: %5.2f %s", ours / faster, ours <= faster ? "(at least as fast)" : "(SLOWER)");
            // Loading a picture against the codec's own decoding of the same file: the bitmap
            // the picture keeps should cost little beyond the decoding itself.
            if (const double codec = seconds("decode/ours/" + sample); operation == "load" && codec > 0)
                std::printf("  vs our codec's decode %9.2f ms: %5.2f", codec * 1e3, ours / codec);
            std::printf("\n");
        }
    }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    QTemporaryDir dir;
    std::vector<Sample> samples{{"24bit-4000x3000", 4000, 3000, 24, {}, {}, {}, {}},
                                {"8bit-4000x3000", 4000, 3000, 8, {}, {}, {}, {}},
                                {"1bit-10000x10000", 10000, 10000, 1, {}, {}, {}, {}}};
    for (Sample &sample : samples) {
        sample.bmp = makeBmp(sample.width, sample.height, sample.bits);
        sample.pcx = PcxEncoder().encode(sample.bmp);
        sample.pcxPath = dir.filePath(QString::fromStdString(sample.name) + QStringLiteral(".pcx"));
        sample.bmpPath = dir.filePath(QString::fromStdString(sample.name) + QStringLiteral(".bmp"));
        if (sample.pcx.isEmpty() || !writeFile(sample.pcxPath, sample.pcx) || !writeFile(sample.bmpPath, sample.bmp)) {
            std::fprintf(stderr, "cannot prepare %s\n", sample.name.c_str());
            return 1;
        }
        std::printf("%s: PCX %lld bytes, BMP %lld bytes\n", sample.name.c_str(), qlonglong(sample.pcx.size()),
                    qlonglong(sample.bmp.size()));
    }

    // Debian's ImageMagick policy caps its memory at 256 MiB, too little for the 100-megapixel
    // picture: the runs here get a policy of their own with room enough for all three files.
    writeFile(dir.filePath(QStringLiteral("policy.xml")),
              "<policymap>\n"
              "  <policy domain=\"resource\" name=\"memory\" value=\"2GiB\"/>\n"
              "  <policy domain=\"resource\" name=\"map\" value=\"4GiB\"/>\n"
              "  <policy domain=\"resource\" name=\"area\" value=\"1GP\"/>\n"
              "  <policy domain=\"resource\" name=\"disk\" value=\"8GiB\"/>\n"
              "</policymap>\n");
    QProcessEnvironment magickEnvironment = QProcessEnvironment::systemEnvironment();
    magickEnvironment.insert(QStringLiteral("MAGICK_CONFIGURE_PATH"), dir.path());
    const auto magickSeconds = [magickEnvironment](const QStringList &arguments) {
        return runSeconds(QStringLiteral("convert"), arguments, nullptr, magickEnvironment);
    };

    // ImageMagick's start-up and the work it does on a one-pixel picture.
    const QString tiny = dir.filePath(QStringLiteral("tiny.pcx"));
    writeFile(tiny, PcxEncoder().encode(makeBmp(1, 1, 24)));
    std::vector<double> startups;
    for (int i = 0; i < 7; ++i)
        startups.push_back(magickSeconds({tiny, QStringLiteral("ppm:-")}));
    const double magickStartup = median(startups);
    std::printf("ImageMagick start-up: %.2f ms\n", magickStartup * 1e3);

    for (const Sample &sample : samples) {
        benchmark::RegisterBenchmark(("decode/ours/" + sample.name).c_str(), [&sample](benchmark::State &state) {
            const PcxDecoder decoder;
            for (auto _ : state) {
                PcxDecodeResult result = decoder.decode(sample.pcx);
                if (!result.ok())
                    state.SkipWithError("decoding failed");
                benchmark::DoNotOptimize(result.bmp.data());
            }
        })->Unit(benchmark::kMillisecond)->UseRealTime();

        benchmark::RegisterBenchmark(("decode/magick/" + sample.name).c_str(),
                                     [&sample, magickStartup, magickSeconds](benchmark::State &state) {
            for (auto _ : state) {
                const double seconds = magickSeconds({sample.pcxPath, QStringLiteral("ppm:-")});
                if (seconds < 0)
                    state.SkipWithError("convert failed");
                state.SetIterationTime(std::max(seconds - magickStartup, 0.0));
            }
        })->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

        benchmark::RegisterBenchmark(("decode/pillow/" + sample.name).c_str(), [&sample](benchmark::State &state) {
            for (auto _ : state) {
                const double seconds = pillowSeconds(sample.pcxPath, "decode");
                if (seconds < 0)
                    state.SkipWithError("Pillow failed");
                state.SetIterationTime(seconds);
            }
        })->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

        // The whole load of a picture as the program does it: the file read, then decoded into
        // the bitmap the picture keeps.
        benchmark::RegisterBenchmark(("load/picture/" + sample.name).c_str(), [&sample](benchmark::State &state) {
            for (auto _ : state) {
                TPCX picture(24);
                picture.loadFromFile(sample.pcxPath);
                if (picture.isEmpty())
                    state.SkipWithError("loading failed");
                benchmark::DoNotOptimize(picture.width());
            }
        })->Unit(benchmark::kMillisecond)->UseRealTime();

        benchmark::RegisterBenchmark(("encode/ours/" + sample.name).c_str(), [&sample](benchmark::State &state) {
            const PcxEncoder encoder;
            for (auto _ : state) {
                QByteArray pcx = encoder.encode(sample.bmp);
                if (pcx.isEmpty())
                    state.SkipWithError("encoding failed");
                benchmark::DoNotOptimize(pcx.data());
            }
        })->Unit(benchmark::kMillisecond)->UseRealTime();

        benchmark::RegisterBenchmark(("encode/magick/" + sample.name).c_str(), [&sample, magickSeconds](benchmark::State &state) {
            for (auto _ : state) {
                const double withPcx = magickSeconds({sample.bmpPath, QStringLiteral("pcx:-")});
                const double readingOnly = magickSeconds({sample.bmpPath, QStringLiteral("null:")});
                if (withPcx < 0 || readingOnly < 0)
                    state.SkipWithError("convert failed");
                state.SetIterationTime(std::max(withPcx - readingOnly, 0.0));
            }
        })->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

        benchmark::RegisterBenchmark(("encode/pillow/" + sample.name).c_str(), [&sample](benchmark::State &state) {
            for (auto _ : state) {
                const double seconds = pillowSeconds(sample.pcxPath, "encode");
                if (seconds < 0)
                    state.SkipWithError("Pillow failed");
                state.SetIterationTime(seconds);
            }
        })->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
    }

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
