#pragma once

#include <QCoreApplication>
#include <QPluginLoader>
#include <QString>

// One of the program's modules: a part built apart because of the libraries it needs, loaded
// the first time it is used and kept loaded. A program that links the part itself (the tests,
// the benchmarks, the fuzz targets) has it among Qt's static plugins, and that one is taken
// first.
class ProgramModule
{
    Q_DECLARE_TR_FUNCTIONS(ProgramModule)

public:
    // fileName: "nelo-scan-reading.so". feature: what is missing without it, as a French
    // sentence begins ("La lecture des copies scannées"). path: the module's file; by default
    // found beside the program or in its private folder (see locateProgramPart).
    ProgramModule(QString fileName, QString feature);
    ProgramModule(QString fileName, QString feature, QString path);

    const QString &path() const { return m_path; }

    // The part; throws AppError, in French, when there is none to load.
    template <class Interface>
    Interface &load() const
    {
        for (QObject *instance : QPluginLoader::staticInstances()) {
            if (auto *part = qobject_cast<Interface *>(instance))
                return *part;
        }
        if (auto *part = qobject_cast<Interface *>(loadFile()))
            return *part;
        throwNotLoaded();
    }

private:
    QObject *loadFile() const;
    [[noreturn]] void throwNotLoaded() const;

    QString m_fileName;
    QString m_feature;
    QString m_path;
};
