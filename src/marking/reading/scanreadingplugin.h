#pragma once

#include "marking/scanreading.h"

#include <QObject>

// The nelo-scan-reading module: scanned copies read with OpenCV, Poppler and ZXing.
class ScanReadingPlugin : public QObject, public ScanReading
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ScanReading_iid)
    Q_INTERFACES(ScanReading)

public:
    std::unique_ptr<FoundPage> find(const QImage &image, const PrintedLandmarks &landmarks) const override;
    std::unique_ptr<ScanPages> open(const QString &path, OpenProblem *problem) const override;
};
