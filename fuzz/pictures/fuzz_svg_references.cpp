// Arbitrary bytes as an SVG file through the check the helper runs before any drawing: the
// check must never crash, what it keeps must pass it again unchanged (a reference it let
// through once would be dropped the second time), and Qt's renderer must parse what it keeps.
#include "pictures/svgoutsidereferences.h"

#include <QGuiApplication>
#include <QSvgRenderer>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv); // the embedded pictures' format plug-ins
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray svg(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<QByteArray> own = svgWithoutOutsideReferences(svg);
    if (!own)
        return 0;
    const std::optional<QByteArray> again = svgWithoutOutsideReferences(*own);
    if (!again || *again != *own)
        std::abort();
    QSvgRenderer renderer(*own);
    return 0;
}
