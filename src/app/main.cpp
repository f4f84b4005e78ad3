#include "app/startup.h"
#include "document/exchange/batchconversion.h"

#include <QApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Conversions for scripts need no window, so no display: they run before any window system.
    QStringList rawArguments;
    for (int i = 0; i < argc; ++i)
        rawArguments.append(QString::fromLocal8Bit(argv[i]));
    if (BatchConversion::requested(rawArguments)) {
        QCoreApplication app(argc, argv);
        QTextStream errors(stderr);
        return BatchConversion::run(QCoreApplication::arguments(), errors);
    }

    QApplication app(argc, argv);
    return runNeloQcm(app, parseCommandLine(QApplication::arguments()));
}
