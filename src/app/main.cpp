#include "app/startup.h"
#include "document/exchange/batchconversion.h"
#include "app/markingcommandline.h"

#include <QApplication>
#include <QTextStream>

#include <cstdio>

namespace {

int answer(const StartupOptions &options)
{
    std::FILE *stream = options.exitCode == 0 ? stdout : stderr;
    std::fputs(options.text.toLocal8Bit().constData(), stream);
    return options.exitCode;
}

} // namespace

int main(int argc, char *argv[])
{
    // --help and --version answer before the display is opened, so they work without one.
    // Qt's own options (-platform, -style...) are only known once the application has taken
    // them out, hence a second, strict reading afterwards.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // Conversions for scripts need no window either: they run before any window system.
    if (BatchConversion::requested(arguments)) {
        QCoreApplication app(argc, argv);
        return runConversion(QCoreApplication::arguments());
    }
    // So does marking scanned copies: the teacher may run it on a server or over ssh.
    if (MarkingCommandLine::requested(arguments)) {
        QCoreApplication app(argc, argv);
        QTextStream out(stdout), errors(stderr);
        return MarkingCommandLine::run(QCoreApplication::arguments(), out, errors);
    }
    const StartupOptions early = parseCommandLine(arguments);
    if (early.action == StartupOptions::Action::ShowHelp || early.action == StartupOptions::Action::ShowVersion)
        return answer(early);

    QApplication app(argc, argv);
    const StartupOptions options = parseCommandLine(QApplication::arguments());
    if (options.action != StartupOptions::Action::Run)
        return answer(options);
    return runNeloQcm(app, options);
}
