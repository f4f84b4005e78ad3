#pragma once

#include "marking/scanreading.h"

#include <QCoreApplication>
#include <QString>

// Where the scan reader is, loaded the first time a scan is read and kept loaded: OpenCV,
// Poppler and ZXing are not mapped before. A program linking the reader itself (the tests, the
// benchmark, the fuzz target) has it among Qt's static plugins, and that one is taken first.
class ScanReadingModule
{
    Q_DECLARE_TR_FUNCTIONS(ScanReadingModule)

public:
    // path: the module's file; empty when it was not found.
    explicit ScanReadingModule(QString path = locate());

    // Beside the program first (the build tree), then in the program's private folder
    // (libexec/nelo-qcm). Empty when neither holds it.
    static QString locate();

    const QString &path() const { return m_path; }

    // The reader; throws AppError, in French, when there is none to load.
    const ScanReading &reading() const;

private:
    QString m_path;
};
