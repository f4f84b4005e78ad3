// Peak memory of printing a paper test with large photographs: run it under /usr/bin/time -v,
// or read the peak it prints. Makes `count` JPEG photographs of 4000 x 3000 in `folder` (once),
// then prints a questionnaire with one of them per question to a PDF file, as the print preview
// draws it (1,200 dots per inch, A4).
//   paper-memory <folder> [count]
#include "pictures/jpegpicture.h"
#include "pictures/pictureregistry.h"
#include "printing/papertest.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <sys/resource.h>

#include <cstdio>

namespace {

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A photograph-like picture: gradients and detail, so that the file is of a real photo's size.
QString makePhoto(const QDir &folder, int index)
{
    const QString path = folder.filePath(QStringLiteral("photo-%1.jpg").arg(index));
    if (QFileInfo::exists(path))
        return path;
    QImage image(4000, 3000, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb((x * 255 / 4000 + index * 40) & 255, (y * 255 / 3000) & 255, ((x ^ y) * 7) & 255);
    }
    image.save(path, "JPG", 85);
    return path;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: paper-memory <folder> [count]\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const int count = argc > 2 ? std::atoi(argv[2]) : 40;
    QStringList document;
    for (int i = 0; i < count; ++i) {
        document << QStringLiteral("<BLOC%1>").arg(i, 4, 10, QLatin1Char('0')) << QStringLiteral("TITLE Photo %1").arg(i + 1)
                 << QStringLiteral("PICTURE ") + makePhoto(folder, i);
        for (int a = 1; a <= 5; ++a)
            document << QStringLiteral("REP%1 Réponse %1").arg(a);
        document << QStringLiteral("REPONSE 1") << QStringLiteral("</BLOC%1>").arg(i, 4, 10, QLatin1Char('0'));
    }
    const long before = peakKilobytes();

    PictureRegistry registry;
    registerJpegFormats(registry, 24);
    PaperTest test(QStringLiteral("Photos"), document, registry);
    QPdfWriter writer(folder.filePath(QStringLiteral("photos.pdf")));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(1200);
    const int pages = test.print(writer, false).pageCount;
    std::printf("%d photos, %d pages: peak %ld MiB (%ld MiB before the paper test)\n", count, pages,
                peakKilobytes() / 1024, before / 1024);
    return 0;
}
