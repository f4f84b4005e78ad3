// Draws the program's SVG icon at the fixed pixel sizes the icon themes want as PNG files, with
// the same SVG renderer the program uses, so the installed pictures never drift from the source.
// Usage: nelo-render-icon <icon.svg> <size> <output.png>

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fputs("usage: nelo-render-icon <icon.svg> <size> <output.png>\n", stderr);
        return EXIT_FAILURE;
    }
    const QString source = QString::fromLocal8Bit(argv[1]);
    const int size = std::atoi(argv[2]);
    const QString target = QString::fromLocal8Bit(argv[3]);
    if (size <= 0 || size > 4096) {
        std::fprintf(stderr, "nelo-render-icon: bad size %s\n", argv[2]);
        return EXIT_FAILURE;
    }

    QSvgRenderer renderer(source);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "nelo-render-icon: cannot read %s\n", argv[1]);
        return EXIT_FAILURE;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, size, size));
    }
    // Straight alpha in the file: PNG readers expect it, and it is what icon tools compare.
    if (!image.convertToFormat(QImage::Format_ARGB32).save(target, "PNG")) {
        std::fprintf(stderr, "nelo-render-icon: cannot write %s\n", argv[3]);
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
