// nelo-metafile-converter: reads one Windows metafile on its standard input, writes the SVG
// text of its drawing on its standard output and exits with the MetafileError code (0 when the
// SVG was written). The program starts it for every metafile it shows; it must end quickly and
// within its memory whatever the file holds, so it limits itself before reading a byte.
#include "pictures/metafileconverter.h"
#include "pictures/metafileconverterprocess.h"
#include "pictures/svgdrawingcheck.h"

#include <QGuiApplication>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <sys/time.h>
#endif

namespace {

using Limits = MetafileConverterProcess::Limits;

void limitThisProcess()
{
#ifdef Q_OS_UNIX
    // SIGPROF ends the process once it has used its processor time, however busy the machine
    // is otherwise: the program sees a helper that died.
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

int exitCode(MetafileError error)
{
    return int(error);
}

} // namespace

int main(int, char *argv[])
{
    limitThisProcess();
    qInstallMessageHandler(discardMessage);
    QByteArray metafile;
    if (!readInput(metafile))
        return exitCode(MetafileError::TooComplex);
    QByteArray svg;
    if (const MetafileError error = convertMetafileToSvg(metafile, svg); error != MetafileError::None)
        return exitCode(error);
    if (svg.size() > Limits::SvgBytes)
        return exitCode(MetafileError::TooComplex);

    // Drawing needs the fonts of a GUI application, but never a screen.
    int guiArgc = 3;
    char platformOption[] = "-platform";
    char platformName[] = "offscreen";
    char *guiArgv[] = {argv[0], platformOption, platformName, nullptr};
    QGuiApplication application(guiArgc, guiArgv);
    MetafileHeader header;
    readMetafileHeader(metafile, header);
    if (!drawsWithinBudget(svg, header.size, Limits::DrawingTime))
        return exitCode(MetafileError::TooComplex);
    return writeOutput(svg) ? exitCode(MetafileError::None) : exitCode(MetafileError::ConverterDied);
}
