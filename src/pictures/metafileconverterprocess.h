#pragma once

#include "pictures/metafileheader.h"
#include "pictures/svgdrawnpicture.h"

#include <QByteArray>
#include <QString>

#include <chrono>

// Converts metafiles, and checks SVG files, in the helper executable nelo-metafile-converter,
// started afresh for each picture: the libraries that read metafiles never run in the window's
// process, and whatever a file makes them do (crash, loop, ask for gigabytes, open a FIFO) ends
// with the helper within its limits.
class MetafileConverterProcess
{
public:
    static constexpr const char *ProgramName = "nelo-metafile-converter";
    // The helper's one argument when its input is an SVG file rather than a metafile.
    static constexpr const char *SvgOption = "--svg";

    // The helper bounds itself by these, so that loading a metafile (the helper's work, then
    // parsing the SVG) and drawing it each hold the window for well under a second. The program
    // waits at most WallTime, which only a machine busy with other work ever reaches.
    struct Limits
    {
        static constexpr std::chrono::milliseconds ProcessorTime{750};
        static constexpr std::chrono::milliseconds DrawingTime{300};
        static constexpr std::chrono::milliseconds WallTime{5000};
        static constexpr qsizetype InputBytes = qsizetype(256) << 20;
        static constexpr qsizetype SvgBytes = qsizetype(64) << 20;
        static constexpr unsigned long long AddressSpace = 1ull << 30;
    };

    // program: the helper's path; empty when it was not found, and then every drawing fails.
    explicit MetafileConverterProcess(QString program,
                                      std::chrono::milliseconds wallTime = Limits::WallTime);

    // Beside the program first (the build tree), then in the installed program's private
    // folder, libexec/nelo-qcm (locateProgramPart). Empty when neither holds it.
    static QString locate();
    static QString locate(const QString &programFolder);

    // The SVG text to draw: the metafile converted, or the SVG file without what it refers to
    // outside itself. Says why when there is none: the helper's own verdict, TimeLimit when it
    // was stopped waiting, ConverterMissing when it cannot be started.
    MetafileError convert(DrawingSource source, const QByteArray &input, QByteArray &svg) const;

private:
    QString m_program;
    std::chrono::milliseconds m_wallTime;
};
