// nelo-metafile-converter: reads one Windows metafile on its standard input, writes the SVG
// text of its drawing on its standard output and exits with the MetafileError code (0 when the
// SVG was written). With --svg its input is an SVG file, written back without what it refers to
// outside itself. The program starts it for every metafile and SVG file it shows; it must end
// quickly and within its memory whatever the file holds, so it limits itself before reading a
// byte, and says which limit ended it.
#include "pictures/metafileconverter.h"
#include "pictures/metafileconverterprocess.h"
#include "pictures/svgdrawingcheck.h"
#include "pictures/svgoutsidereferences.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstring>
#include <new>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/time.h>
#include <unistd.h>
#endif

namespace {

using Limits = MetafileConverterProcess::Limits;

int exitCode(MetafileError error)
{
    return int(error);
}

[[noreturn]] void endOutOfMemory()
{
    std::_Exit(exitCode(MetafileError::MemoryLimit));
}

#ifdef Q_OS_UNIX
extern "C" void endOutOfTime(int)
{
    _exit(exitCode(MetafileError::TimeLimit));
}
#endif

void limitThisProcess()
{
    std::set_new_handler(endOutOfMemory);
#ifdef Q_OS_UNIX
    // SIGPROF ends the process once it has used its processor time, however busy the machine
    // is otherwise, with the code that tells the program so.
    struct sigaction onProcessorTime;
    std::memset(&onProcessorTime, 0, sizeof onProcessorTime);
    onProcessorTime.sa_handler = endOutOfTime;
    sigaction(SIGPROF, &onProcessorTime, nullptr);
    const auto budget = std::chrono::duration_cast<std::chrono::microseconds>(Limits::ProcessorTime);
    itimerval timer{};
    timer.it_value.tv_sec = budget.count() / 1000000;
    timer.it_value.tv_usec = budget.count() % 1000000;
    setitimer(ITIMER_PROF, &timer, nullptr);
    // The sanitizers reserve terabytes of address space up front: no limit can apply there.
#if !defined(__SANITIZE_ADDRESS__) && !(defined(__has_feature) && __has_feature(address_sanitizer))
    const rlimit memory{Limits::AddressSpace, Limits::AddressSpace};
    setrlimit(RLIMIT_AS, &memory);
#endif
#endif
}

bool readInput(QByteArray &bytes)
{
    char chunk[65536];
    for (;;) {
        const size_t got = std::fread(chunk, 1, sizeof chunk, stdin);
        if (got == 0)
            return !std::ferror(stdin);
        if (bytes.size() + qsizetype(got) > Limits::InputBytes)
            return false;
        bytes.append(chunk, qsizetype(got));
    }
}

bool writeOutput(const QByteArray &bytes)
{
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size())
        && std::fflush(stdout) == 0;
}

// Qt's warnings about a file's oddities would reach the program's terminal for every picture.
void discardMessage(QtMsgType, const QMessageLogContext &, const QString &) {}

MetafileError drawingOf(DrawingSource source, const QByteArray &input, QByteArray &svg, QSize &size)
{
    if (source == DrawingSource::Svg) {
        std::optional<QByteArray> own = svgWithoutOutsideReferences(input);
        if (!own)
            return MetafileError::ConversionFailed;
        svg = std::move(*own);
        return MetafileError::None;
    }
    if (const MetafileError error = convertMetafileToSvg(input, svg); error != MetafileError::None)
        return error;
    MetafileHeader header;
    readMetafileHeader(input, header);
    size = header.size;
    return MetafileError::None;
}

MetafileError run(DrawingSource source, char *program)
{
    // Drawing needs the fonts of a GUI application, and recognising embedded pictures its
    // format plug-ins, but never a screen.
    int guiArgc = 3;
    char platformOption[] = "-platform";
    char platformName[] = "offscreen";
    char *guiArgv[] = {program, platformOption, platformName, nullptr};
    QGuiApplication application(guiArgc, guiArgv);

    QByteArray input;
    if (!readInput(input))
        return MetafileError::TooComplex;
    QByteArray svg;
    QSize size;
    if (const MetafileError error = drawingOf(source, input, svg, size); error != MetafileError::None)
        return error;
    if (svg.size() > Limits::SvgBytes)
        return MetafileError::TooComplex;
    if (!drawsWithinBudget(svg, size, Limits::DrawingTime))
        return MetafileError::TooComplex;
    return writeOutput(svg) ? MetafileError::None : MetafileError::ConverterDied;
}

} // namespace

int main(int argc, char *argv[])
{
    limitThisProcess();
    qInstallMessageHandler(discardMessage);
    const bool svgInput = argc > 1 && std::strcmp(argv[1], MetafileConverterProcess::SvgOption) == 0;
    try {
        return exitCode(run(svgInput ? DrawingSource::Svg : DrawingSource::Metafile, argv[0]));
    } catch (const std::bad_alloc &) {
        // Qt reports a failed allocation this way rather than through the new handler.
        return exitCode(MetafileError::MemoryLimit);
    }
}
