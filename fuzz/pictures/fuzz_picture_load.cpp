// Arbitrary bytes through every picture kind. The first byte picks the kind (as an extension
// would), the rest is the file. Each picture is loaded, prepared (JPEG decodes there) and
// drawn; refusals are AppError and fine, anything else is a finding.
//
// Kinds: 0 bitmap, 1 icon, 2 WMF/EMF, 3 JPEG, 4 JPEG quantised, 5 GIF, 6 WMF/EMF.
// Metafiles are converted in this process here, so that a fault inside libwmf or libemf2svg
// is seen; the program itself runs the same conversion in its helper process, whose limits
// stand in for the ones libFuzzer sets. The program's caps apply here as they do there: libwmf's
// blocks (the cap lives in the conversion itself) and the size of the SVG.
#include "pictures/bitmappicture.h"
#include "pictures/gifpicture.h"
#include "pictures/iconpicture.h"
#include "pictures/jpegpicture.h"
#include "pictures/metafileconverter.h"
#include "pictures/metafileconverterprocess.h"
#include "pictures/metafilepicture.h"
#include "platform/apperror.h"

#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPainter>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

// NELO_FUZZ_KIND=0..6 pins every input to one kind (the first byte is then still skipped), so
// that each kind can be fuzzed for its own share of time.
int g_pinnedKind = -1;

MetafileError convertAsTheHelperDoes(DrawingSource, const QByteArray &metafile, QByteArray &svg)
{
    using Limits = MetafileConverterProcess::Limits;
    if (metafile.size() > Limits::InputBytes)
        return MetafileError::TooComplex;
    const MetafileError error = convertMetafileToSvg(metafile, svg);
    if (error == MetafileError::None && svg.size() > Limits::SvgBytes)
        return MetafileError::TooComplex;
    return error;
}

std::unique_ptr<Picture> pictureOfKind(uint8_t selector)
{
    switch (g_pinnedKind >= 0 ? g_pinnedKind : selector % 7) {
    case 0: return std::make_unique<BitmapPicture>();
    case 1: return std::make_unique<IconPicture>();
    case 2: return std::make_unique<MetafilePicture>(convertAsTheHelperDoes);
    case 3: return std::make_unique<JpegPicture>(24);
    case 4: return std::make_unique<JpegPicture>(8); // the quantised 8-bit path
    case 5: return std::make_unique<GifPicture>();
    default: return std::make_unique<MetafilePicture>(convertAsTheHelperDoes);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (const char *kind = getenv("NELO_FUZZ_KIND"))
        g_pinnedKind = atoi(kind) % 7;
    static QGuiApplication app(*argc, *argv); // Qt's ICO and GIF readers are plug-ins
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const std::unique_ptr<Picture> picture = pictureOfKind(data[0]);
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    try {
        picture->loadFromData(bytes);
        if (picture->needsPreparation())
            picture->prepare();
        QImage canvas(64, 48, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        picture->draw(painter, QRectF(0, 0, 64, 48));
        painter.end();
        std::unique_ptr<QMimeData> clip(picture->toMimeData());
    } catch (const AppError &) {
    }
    return 0;
}
