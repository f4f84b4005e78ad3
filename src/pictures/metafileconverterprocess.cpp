#include "pictures/metafileconverterprocess.h"

#include "platform/programparts.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>

MetafileConverterProcess::MetafileConverterProcess(QString program, std::chrono::milliseconds wallTime)
    : m_program(std::move(program)), m_wallTime(wallTime)
{
}

QString MetafileConverterProcess::locate()
{
    return QCoreApplication::instance() ? locate(QCoreApplication::applicationDirPath()) : QString();
}

QString MetafileConverterProcess::locate(const QString &folder)
{
    return locateProgramPart(folder, QString::fromLatin1(ProgramName), ProgramPart::Executable);
}

MetafileError MetafileConverterProcess::convert(DrawingSource source, const QByteArray &input, QByteArray &svg) const
{
    if (m_program.isEmpty())
        return MetafileError::ConverterMissing;
    if (input.size() > Limits::InputBytes)
        return MetafileError::TooComplex;
    const QDeadlineTimer deadline(m_wallTime);
    QProcess helper;
    helper.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const auto stop = [&helper](MetafileError error) {
        helper.kill();
        helper.waitForFinished();
        return error;
    };
    helper.start(m_program, source == DrawingSource::Svg ? QStringList{QString::fromLatin1(SvgOption)} : QStringList());
    if (!helper.waitForStarted(int(deadline.remainingTime())))
        return stop(helper.error() == QProcess::FailedToStart ? MetafileError::ConverterMissing : MetafileError::TimeLimit);
    helper.write(input);
    helper.closeWriteChannel();
    // The output is taken as it comes, so a helper gone wrong cannot fill this process's memory.
    QByteArray output;
    for (;;) {
        const bool readable = helper.waitForReadyRead(int(deadline.remainingTime()));
        output += helper.readAllStandardOutput();
        if (output.size() > Limits::SvgBytes)
            return stop(MetafileError::TooComplex);
        if (readable)
            continue;
        if (helper.state() != QProcess::NotRunning)
            return stop(MetafileError::TimeLimit);
        break;
    }
    if (helper.exitStatus() != QProcess::NormalExit)
        return MetafileError::ConverterDied;
    const int code = helper.exitCode();
    if (code < int(MetafileError::None) || code > int(MetafileError::MemoryLimit))
        return MetafileError::ConverterDied; // not ours: the loader's or a sanitizer's code
    if (code != int(MetafileError::None))
        return MetafileError(code);
    if (output.isEmpty())
        return MetafileError::ConversionFailed;
    svg = std::move(output);
    return MetafileError::None;
}
