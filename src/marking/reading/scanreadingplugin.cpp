#include "marking/reading/scanreadingplugin.h"

#include "marking/reading/scanpagesfile.h"
#include "marking/reading/straightenedpage.h"

std::unique_ptr<FoundPage> ScanReadingPlugin::find(const QImage &image, const PrintedLandmarks &landmarks) const
{
    return std::make_unique<StraightenedPage>(image, landmarks);
}

std::unique_ptr<ScanPages> ScanReadingPlugin::open(const QString &path, OpenProblem *problem) const
{
    return ScanPagesFile::open(path, problem);
}
