#include "pcxtestkit.h"

#include "pictures/bitmappicture.h"
#include "pictures/pcx/pcx.h"
#include "pictures/pictureholder.h"
#include "pictures/pictureregistry.h"
#include "platform/apperror.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace PcxTestKit;

namespace {

int pattern(int x, int y)
{
    return ((x * 29) ^ (y * 11) ^ (x == y ? 0xC8 : 0)) * 0x010305 & 0xFFFFFF;
}

QByteArray encoded(int width, int height, int bits, const PcxPalette &palette = {})
{
    const PcxPalette colours = !palette.empty() || bits == 24 ? palette : rainbow(1 << bits);
    return PcxEncoder().encode(bmpFile(width, height, bits, colours, pattern));
}

QByteArray trueColour(int width, int height)
{
    return encoded(width, height, 24);
}

QString expectedFailure(const std::function<void()> &action)
{
    try {
        action();
    } catch (const AppError &error) {
        return error.message();
    }
    return QString();
}

// A picture kind PCX cannot take.
class ForeignPicture : public Picture
{
    Q_OBJECT

public:
    void loadFromData(const QByteArray &) override {}
    int width() const override { return 1; }
    int height() const override { return 1; }
    void setSize(int, int) override {}
    void draw(QPainter &, const QRectF &) override {}
    QMimeData *toMimeData() override { return nullptr; }
};

// A device that takes no bytes.
class FullDisk : public QIODevice
{
protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64) override { return -1; }
};

QRgb pixelAt(const TPCX &picture, int x, int y)
{
    return picture.bitmap().image().pixel(x, y) | 0xFF000000u;
}

} // namespace

class TestPcx : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void creation_data();
    void creation();
    void load_data();
    void load();
    void loadMatchesTheBmpFileImage_data();
    void loadMatchesTheBmpFileImage();
    void failedLoadReplacesPicture();
    void tooLarge();
    void loadFromFile();
    void registration();
    void sizes_data();
    void sizes();
    void formatCode_data();
    void formatCode();
    void roundTrip_data();
    void roundTrip();
    void eightBitFileEndsWithPalette();
    void saveWritesNothing_data();
    void saveWritesNothing();
    void saveFailures();
    void embeddedData_data();
    void embeddedData();
    void assignBitmap_data();
    void assignBitmap();
    void assignPcx();
    void assignForeign();
    void draw_data();
    void draw();
    void clipboardTakesTheBitmap();
    void canvasAndScanLine();
    void palette();
};

void TestPcx::creation_data()
{
    QTest::addColumn<int>("screenDepth");
    QTest::addColumn<PcxFormatCode>("code");
    QTest::newRow("1 bit") << 1 << PcxFormatCode::OneBitPalette;
    QTest::newRow("4 bits") << 4 << PcxFormatCode::FourBitPalette;
    QTest::newRow("8 bits") << 8 << PcxFormatCode::EightBitPalette;
    QTest::newRow("15 bits") << 15 << PcxFormatCode::TrueColour;
    QTest::newRow("16 bits") << 16 << PcxFormatCode::TrueColour;
    QTest::newRow("24 bits") << 24 << PcxFormatCode::TrueColour;
    QTest::newRow("32 bits") << 32 << PcxFormatCode::TrueColour;
    QTest::newRow("2 bits") << 2 << PcxFormatCode::Other;
    QTest::newRow("30 bits") << 30 << PcxFormatCode::Other;
}

void TestPcx::creation()
{
    QFETCH(int, screenDepth);
    QFETCH(PcxFormatCode, code);
    const TPCX picture(screenDepth);
    QCOMPARE(pcxFormatCodeValue(picture.formatCode()), pcxFormatCodeValue(code));
    QVERIFY(picture.isEmpty());
    QCOMPARE(picture.width(), 0);
    QCOMPARE(picture.height(), 0);
}

void TestPcx::load_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("empty");
    QTest::addColumn<PcxFormatCode>("code");
    QTest::addColumn<int>("depth");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRgb>("topLeft");

    const QByteArray eightBitCodes = literals(bytes({200, 1, 2, 3}));
    PcxHeader eight = header(4, 1, 1, 8);
    QTest::newRow("256 colours with the marker 12") << pcxFile(eight, eightBitCodes, paletteBlock()) << false
                                                    << PcxFormatCode::EightBitPalette << 8 << QSize(4, 1)
                                                    << qRgb(200, 55, 100);
    QTest::newRow("256 colours with 11 instead of 12") << pcxFile(eight, eightBitCodes, paletteBlock(11)) << true
                                                       << PcxFormatCode::EightBitPalette << 0 << QSize() << QRgb(0);
    eight.paletteInfo = 2;
    QTest::newRow("256 greys whatever the block holds") << pcxFile(eight, eightBitCodes, paletteBlock()) << false
                                                        << PcxFormatCode::EightBitGrey << 8 << QSize(4, 1)
                                                        << qRgb(200, 200, 200);
    QTest::newRow("16 colours in four planes") << pcxFile(header(8, 2, 4, 1), QByteArray(16, char(0x55))) << true
                                               << PcxFormatCode::FourPlanes << 0 << QSize() << QRgb(0);
    PcxHeader oneBit = header(8, 1, 1, 1);
    oneBit.paletteInfo = 0;
    QTest::newRow("1 bit, palette information 0") << pcxFile(oneBit, bytes({0x80, 0})) << false
                                                  << PcxFormatCode::OneBitGrey << 1 << QSize(8, 1) << qRgb(255, 255, 255);
    oneBit.paletteInfo = 1;
    oneBit.palette[0] = PcxColour{0, 0, 200};
    oneBit.palette[1] = PcxColour{200, 0, 0};
    QTest::newRow("1 bit, palette information 1") << pcxFile(oneBit, bytes({0x80, 0})) << false
                                                  << PcxFormatCode::OneBitPalette << 1 << QSize(8, 1) << qRgb(200, 0, 0);
    QTest::newRow("4 bits, header palette") << encoded(5, 3, 4) << false << PcxFormatCode::FourBitPalette << 4
                                            << QSize(5, 3) << qRgb(40, 247, 25);
    PcxHeader old = header(2, 1, 3, 8);
    old.version = 0;
    QTest::newRow("version 0") << pcxFile(old, QByteArray(6, 1)) << true << PcxFormatCode::Other << 0 << QSize() << QRgb(0);
    PcxHeader reserved = header(2, 1, 3, 8);
    reserved.reserved = 7;
    QTest::newRow("non-zero reserved byte") << pcxFile(reserved, QByteArray(6, 1)) << true << PcxFormatCode::Other << 0
                                            << QSize() << QRgb(0);
    QTest::newRow("cut short in the pixel data") << trueColour(40, 30).left(300) << true << PcxFormatCode::TrueColour
                                                 << 0 << QSize() << QRgb(0);
    QTest::newRow("24 bits, odd width") << trueColour(7, 3) << false << PcxFormatCode::TrueColour << 24 << QSize(7, 3)
                                        << QRgb(0xFF000000u | pattern(0, 0));
    QTest::newRow("empty file") << QByteArray() << true << PcxFormatCode::Other << 0 << QSize() << QRgb(0);
}

void TestPcx::load()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, empty);
    QFETCH(PcxFormatCode, code);
    QFETCH(int, depth);
    QFETCH(QSize, size);
    QFETCH(QRgb, topLeft);
    TPCX picture(24);
    QSignalSpy changed(&picture, &Picture::changed);
    picture.loadFromData(file);
    QVERIFY(changed.count() > 0);
    QCOMPARE(picture.isEmpty(), empty);
    QCOMPARE(pcxFormatCodeValue(picture.formatCode()), pcxFormatCodeValue(code));
    if (empty) {
        QCOMPARE(picture.width(), 0);
        QCOMPARE(picture.height(), 0);
        QCOMPARE(picture.bitmap().width(), 0);
        QCOMPARE(picture.bitmap().height(), 0);
        return;
    }
    QCOMPARE(QSize(picture.width(), picture.height()), size);
    QCOMPARE(picture.bitmap().depth(), depth);
    QCOMPARE(pixelAt(picture, 0, 0), topLeft);
}

// A picture decodes straight into its bitmap; what it shows must be exactly what the codec's
// BMP file image of the same file shows.
void TestPcx::loadMatchesTheBmpFileImage_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("1 bit, width not a multiple of 8") << encoded(17, 3, 1);
    QTest::newRow("4 bits, odd width") << encoded(9, 4, 4);
    QTest::newRow("8 bits") << encoded(33, 5, 8);
    QTest::newRow("24 bits, odd width") << trueColour(7, 3);
    QTest::newRow("24 bits, one pixel") << trueColour(1, 1);
    QTest::newRow("8 bits, lines wider than the width") << pcxFile(header(2, 2, 1, 8, 8), literals(bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16})), paletteBlock());
    QTest::newRow("4 bits, lines wider than the width") << pcxFile(header(3, 2, 1, 4, 4), literals(bytes({0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0})));
    QTest::newRow("a run across two lines") << pcxFile(header(3, 2, 1, 8, 4), bytes({0xC8, 7}), paletteBlock());
}

void TestPcx::loadMatchesTheBmpFileImage()
{
    QFETCH(QByteArray, file);
    const PcxDecodeResult codec = PcxDecoder().decode(file);
    QVERIFY(codec.ok());
    PcxBitmap fromBmp;
    QVERIFY(fromBmp.loadBmp(codec.bmp));
    TPCX picture(24);
    picture.loadFromData(file);
    QVERIFY(!picture.isEmpty());
    QCOMPARE(picture.bitmap().depth(), fromBmp.depth());
    QCOMPARE(picture.bitmap().image().format(), fromBmp.image().format());
    QCOMPARE(picture.bitmap().image().colorTable(), fromBmp.image().colorTable());
    QCOMPARE(picture.bitmap().image().dotsPerMeterX(), fromBmp.image().dotsPerMeterX());
    QCOMPARE(picture.bitmap().image(), fromBmp.image());
    QCOMPARE(picture.palette(), fromBmp.palette());
}

void TestPcx::failedLoadReplacesPicture()
{
    TPCX picture(24);
    picture.loadFromData(trueColour(5, 5));
    QVERIFY(!picture.isEmpty());
    picture.loadFromData(QByteArray("not a PCX file"));
    QVERIFY(picture.isEmpty());
    QCOMPARE(picture.width(), 0);
    QCOMPARE(picture.bitmap().width(), 0);
}

void TestPcx::tooLarge()
{
    PcxDecoderOptions options;
    options.maxImageBytes = 1000;
    TPCX picture(24, options);
    picture.loadFromData(trueColour(5, 5));
    QVERIFY(!picture.isEmpty());
    const QString failure = expectedFailure([&] { picture.loadFromData(trueColour(20, 20)); });
    QCOMPARE(failure, QStringLiteral("Plus de mémoire lors de l'expansion du flux mémoire"));
    QVERIFY(picture.isEmpty());
    QCOMPARE(picture.width(), 0);
}

void TestPcx::loadFromFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CHAT.PCX"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(trueColour(9, 4));
    file.close();
    TPCX picture(24);
    picture.loadFromFile(path);
    QCOMPARE(picture.width(), 9);
    QCOMPARE(picture.height(), 4);
    const QString missing = dir.filePath(QStringLiteral("absent.pcx"));
    QCOMPARE(expectedFailure([&] { picture.loadFromFile(missing); }),
             QStringLiteral("Ne peut ouvrir le fichier %1").arg(missing));
    // Read as a stream, a FIFO would block the window until something wrote to it.
    const QString fifo = dir.filePath(QStringLiteral("tube.pcx"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QCOMPARE(expectedFailure([&] { picture.loadFromFile(fifo); }),
             QStringLiteral("Ne peut ouvrir le fichier %1").arg(fifo));
}

void TestPcx::registration()
{
    PictureRegistry registry;
    const size_t before = registry.entries().size();
    int depth = 8;
    registerPcx(registry, [&depth] { return depth; });
    QCOMPARE(registry.entries().size(), before + 1);
    const PictureRegistry::Entry *entry = registry.find(QStringLiteral("PCX"));
    QVERIFY(entry);
    QCOMPARE(entry->extension, QStringLiteral("pcx"));
    QCOMPARE(entry->description, QStringLiteral("PCX"));
    QVERIFY(entry->kind == PictureKind::Pcx);

    // Each new picture asks for the depth of the moment.
    std::unique_ptr<Picture> first = registry.createFor(QStringLiteral("C:\\IMAGES\\CHAT.PcX"));
    depth = 1;
    std::unique_ptr<Picture> second = registry.createFor(QStringLiteral("chat.pcx"));
    QCOMPARE(pcxFormatCodeValue(qobject_cast<TPCX *>(first.get())->formatCode()), 4);
    QCOMPARE(pcxFormatCodeValue(qobject_cast<TPCX *>(second.get())->formatCode()), 0);

    // Loading through a holder: an undecodable file is an empty picture, with no error.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("seize.pcx"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(pcxFile(header(8, 2, 4, 1), QByteArray(16, char(0x55))));
    file.close();
    PictureHolder holder(registry);
    holder.loadFromFile(path);
    QVERIFY(holder.picture());
    QVERIFY(holder.isEmpty());
    QCOMPARE(holder.width(), 0);

    unregisterPcx(registry);
    QCOMPARE(registry.entries().size(), before);
    QVERIFY(!registry.find(QStringLiteral("pcx")));
    registerPcx(registry);
    QVERIFY(registry.find(QStringLiteral("pcx")));
}

void TestPcx::sizes_data()
{
    QTest::addColumn<PcxFormatCode>("code");
    QTest::addColumn<bool>("widthFirst");
    QTest::addColumn<bool>("showsAgain");
    QTest::newRow("width 0 then back, code 6") << PcxFormatCode::TrueColour << true << true;
    QTest::newRow("height 0 then back, code 6") << PcxFormatCode::TrueColour << false << true;
    QTest::newRow("width 0 then back, code 4") << PcxFormatCode::EightBitPalette << true << true;
    QTest::newRow("height 0 then back, code 7 stays empty") << PcxFormatCode::FourPlanes << false << false;
}

void TestPcx::sizes()
{
    QFETCH(PcxFormatCode, code);
    QFETCH(bool, widthFirst);
    QFETCH(bool, showsAgain);
    TPCX picture(24);
    picture.loadFromData(trueColour(6, 4));
    picture.setFormatCode(code);
    if (widthFirst)
        picture.setWidth(0);
    else
        picture.setHeight(0);
    QVERIFY(picture.isEmpty());
    QCOMPARE(picture.width(), 0);
    QCOMPARE(picture.height(), 0);
    if (widthFirst)
        picture.setWidth(10);
    else
        picture.setHeight(3);
    QCOMPARE(picture.isEmpty(), !showsAgain);
    if (showsAgain) {
        QCOMPARE(picture.width(), widthFirst ? 10 : 6);
        QCOMPARE(picture.height(), widthFirst ? 4 : 3);
    }
    // Growing keeps the top left part.
    picture.setSize(12, 8);
    QCOMPARE(picture.bitmap().width(), 12);
    QCOMPARE(picture.bitmap().height(), 8);
}

void TestPcx::formatCode_data()
{
    QTest::addColumn<PcxFormatCode>("code");
    QTest::addColumn<bool>("empty");
    QTest::addColumn<int>("depth");
    QTest::newRow("0: 1 bit") << PcxFormatCode::OneBitPalette << false << 1;
    QTest::newRow("1: 1 bit") << PcxFormatCode::OneBitGrey << false << 1;
    QTest::newRow("2: 4 bits") << PcxFormatCode::FourBitPalette << false << 4;
    QTest::newRow("3: 4 bits") << PcxFormatCode::FourBitGrey << false << 4;
    QTest::newRow("4: 8 bits") << PcxFormatCode::EightBitPalette << false << 8;
    QTest::newRow("5: 8 bits") << PcxFormatCode::EightBitGrey << false << 8;
    QTest::newRow("6: 24 bits") << PcxFormatCode::TrueColour << false << 24;
    QTest::newRow("7: empty, bitmap unchanged") << PcxFormatCode::FourPlanes << true << 8;
    QTest::newRow("8: empty, bitmap unchanged") << PcxFormatCode::Other << true << 8;
}

void TestPcx::formatCode()
{
    QFETCH(PcxFormatCode, code);
    QFETCH(bool, empty);
    QFETCH(int, depth);
    TPCX picture(24);
    picture.loadFromData(encoded(9, 5, 8));
    picture.setFormatCode(code);
    QCOMPARE(picture.isEmpty(), empty);
    QCOMPARE(picture.bitmap().depth(), depth);
    QCOMPARE(picture.bitmap().width(), 9);
    if (depth == 4)
        QVERIFY(picture.bitmap().image().colorCount() <= 16);
    // Back to a code that can be shown: the picture shows again.
    picture.setFormatCode(PcxFormatCode::TrueColour);
    QVERIFY(!picture.isEmpty());
    QCOMPARE(picture.bitmap().depth(), 24);
}

void TestPcx::roundTrip_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("1 bit") << encoded(19, 7, 1);
    QTest::newRow("1 bit, black and white") << encoded(19, 7, 1, greyPalette(2));
    QTest::newRow("4 bits") << encoded(19, 7, 4);
    QTest::newRow("8 bits") << encoded(19, 7, 8);
    QTest::newRow("24 bits, odd width") << encoded(19, 7, 24);
    QTest::newRow("24 bits, one pixel") << encoded(1, 1, 24);
    PcxHeader grey = header(3, 1, 1, 8);
    grey.paletteInfo = 2;
    QTest::newRow("8-bit greys") << pcxFile(grey, literals(bytes({0, 128, 255, 0})), paletteBlock());
}

void TestPcx::roundTrip()
{
    QFETCH(QByteArray, file);
    TPCX picture(24);
    picture.loadFromData(file);
    QVERIFY(!picture.isEmpty());

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("copie.pcx"));
    picture.saveToFile(path);
    TPCX copy(24);
    copy.loadFromFile(path);
    QVERIFY(!copy.isEmpty());
    QCOMPARE(copy.bitmap().depth(), picture.bitmap().depth());
    QCOMPARE(copy.width(), picture.width());
    QCOMPARE(copy.height(), picture.height());
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            QCOMPARE(pixelAt(copy, x, y), pixelAt(picture, x, y));

    QByteArray memory;
    QBuffer stream(&memory);
    stream.open(QIODevice::WriteOnly);
    picture.saveToStream(stream);
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(memory, written.readAll());
}

void TestPcx::eightBitFileEndsWithPalette()
{
    TPCX picture(24);
    picture.loadFromData(encoded(10, 4, 8));
    QByteArray saved;
    QBuffer stream(&saved);
    stream.open(QIODevice::WriteOnly);
    picture.saveToStream(stream);
    QCOMPARE(int(saved.at(saved.size() - 769)), 12);
    const PcxPalette colours = rainbow(256);
    for (int i = 0; i < 256; ++i) {
        const char *entry = saved.constData() + saved.size() - 768 + 3 * i;
        QCOMPARE(PcxColour({quint8(entry[0]), quint8(entry[1]), quint8(entry[2])}) == colours[size_t(i)], true);
    }
    TPCX back(24);
    back.loadFromData(saved);
    QCOMPARE(back.palette(), picture.palette());
    QCOMPARE(pixelAt(back, 3, 2), pixelAt(picture, 3, 2));
}

void TestPcx::saveWritesNothing_data()
{
    QTest::addColumn<QImage>("bitmap");
    QImage wide(65536, 1, QImage::Format_Indexed8);
    wide.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    wide.fill(1);
    QTest::newRow("8 bits too wide for the bytes-per-line field") << wide;
    QImage deep(3, 3, QImage::Format_RGBA64);
    deep.fill(Qt::red);
    QTest::newRow("64 bits: code 8, bitmap kept as it is") << deep;
    QTest::newRow("no bitmap") << QImage();
}

void TestPcx::saveWritesNothing()
{
    QFETCH(QImage, bitmap);
    TPCX picture(24);
    picture.assign(bitmap);
    QByteArray saved("kept");
    QBuffer stream(&saved);
    stream.open(QIODevice::WriteOnly | QIODevice::Append);
    picture.saveToStream(stream);
    QCOMPARE(saved, QByteArray("kept"));
}

void TestPcx::saveFailures()
{
    TPCX picture(24);
    picture.loadFromData(trueColour(4, 4));
    FullDisk disk;
    disk.open(QIODevice::WriteOnly);
    QCOMPARE(expectedFailure([&] { picture.saveToStream(disk); }), QStringLiteral("Erreur d'écriture du flux"));
    QCOMPARE(expectedFailure([&] { picture.writeEmbeddedData(disk); }), QStringLiteral("Erreur d'écriture du flux"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("absent/copie.pcx"));
    QCOMPARE(expectedFailure([&] { picture.saveToFile(path); }), QStringLiteral("Ne peut créer le fichier %1").arg(path));
}

void TestPcx::embeddedData_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("empty");
    const QByteArray pcx = trueColour(3, 2);
    QByteArray count(4, '\0');
    qToLittleEndian<quint32>(quint32(pcx.size()), count.data());
    QTest::newRow("count and file") << count + pcx << false;
    QTest::newRow("count and file, then more") << count + pcx + QByteArray("suite") << false;
    QTest::newRow("file cut short") << count + pcx.left(pcx.size() - 1) << true;
    QTest::newRow("count of 4 GiB, few bytes") << QByteArray(4, char(0xFF)) + pcx << true;
    QTest::newRow("count cut short") << QByteArray(3, char(1)) << true;
    QTest::newRow("count 0") << QByteArray(4, '\0') << true;
}

void TestPcx::embeddedData()
{
    QFETCH(QByteArray, data);
    QFETCH(bool, empty);
    QBuffer stream(&data);
    stream.open(QIODevice::ReadOnly);
    TPCX picture(24);
    picture.readEmbeddedData(stream);
    QCOMPARE(picture.isEmpty(), empty);
    if (empty)
        return;
    QCOMPARE(picture.width(), 3);

    QByteArray written;
    QBuffer out(&written);
    out.open(QIODevice::WriteOnly);
    picture.writeEmbeddedData(out);
    QCOMPARE(written.size(), 4 + int(qFromLittleEndian<quint32>(written.constData())));
    QCOMPARE(written, data.left(written.size()));
}

void TestPcx::assignBitmap_data()
{
    QTest::addColumn<QImage>("bitmap");
    QTest::addColumn<PcxFormatCode>("code");
    QTest::addColumn<bool>("empty");
    QTest::addColumn<int>("depth");

    auto filled = [](QImage image) {
        if (image.format() == QImage::Format_Mono || image.format() == QImage::Format_Indexed8) {
            image.setColorTable({qRgb(10, 20, 30), qRgb(200, 100, 0)});
            image.fill(1);
        } else {
            image.fill(QColor(200, 100, 0));
        }
        return image;
    };
    QTest::newRow("1 bit gives 0") << filled(QImage(4, 3, QImage::Format_Mono)) << PcxFormatCode::OneBitPalette << false << 1;
    QTest::newRow("8 bits give 4") << filled(QImage(4, 3, QImage::Format_Indexed8)) << PcxFormatCode::EightBitPalette
                                   << false << 8;
    QTest::newRow("16 bits give 6") << filled(QImage(4, 3, QImage::Format_RGB16)) << PcxFormatCode::TrueColour << false << 24;
    QTest::newRow("24 bits give 6") << filled(QImage(4, 3, QImage::Format_RGB888)) << PcxFormatCode::TrueColour << false << 24;
    QTest::newRow("32 bits give 6") << filled(QImage(4, 3, QImage::Format_ARGB32)) << PcxFormatCode::TrueColour << false << 24;
    QTest::newRow("64 bits give 8") << filled(QImage(4, 3, QImage::Format_RGBA64)) << PcxFormatCode::Other << true << 64;
    QTest::newRow("no bitmap: empty, depth 0 gives 8") << QImage() << PcxFormatCode::Other << true << 24;
}

void TestPcx::assignBitmap()
{
    QFETCH(QImage, bitmap);
    QFETCH(PcxFormatCode, code);
    QFETCH(bool, empty);
    QFETCH(int, depth);
    TPCX picture(24);
    picture.assign(bitmap);
    QCOMPARE(pcxFormatCodeValue(picture.formatCode()), pcxFormatCodeValue(code));
    QCOMPARE(picture.isEmpty(), empty);
    QCOMPARE(picture.bitmap().depth(), depth);
    if (!empty) {
        QCOMPARE(picture.width(), 4);
        QCOMPARE(pixelAt(picture, 3, 2), bitmap.pixel(3, 2) | 0xFF000000u);
    }
}

void TestPcx::assignPcx()
{
    TPCX source(24);
    source.loadFromData(encoded(6, 4, 8));
    TPCX copy(1);
    copy.assign(static_cast<const Picture &>(source));
    QCOMPARE(copy.isEmpty(), false);
    QCOMPARE(pcxFormatCodeValue(copy.formatCode()), 4);
    QCOMPARE(copy.palette(), source.palette());
    // The copy has pixel storage of its own at once.
    QVERIFY(copy.scanLine(0) != source.scanLine(0));
    const uchar before = copy.scanLine(0)[0];
    source.scanLine(0)[0] = uchar(before + 1);
    QCOMPARE(copy.scanLine(0)[0], before);

    // An empty picture is copied empty, with its code.
    TPCX empty(24);
    empty.loadFromData(pcxFile(header(8, 2, 4, 1), QByteArray(16, char(0x55))));
    copy.assign(empty);
    QVERIFY(copy.isEmpty());
    QCOMPARE(pcxFormatCodeValue(copy.formatCode()), 7);

    // From a bitmap picture: its image.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("b.bmp"));
    QImage image(5, 2, QImage::Format_RGB32);
    image.fill(QColor(1, 2, 3));
    QVERIFY(image.save(path, "BMP"));
    BitmapPicture bitmap;
    bitmap.loadFromFile(path);
    copy.assign(static_cast<const Picture &>(bitmap));
    QCOMPARE(copy.width(), 5);
    QCOMPARE(pixelAt(copy, 4, 1), qRgb(1, 2, 3));
}

void TestPcx::assignForeign()
{
    TPCX picture(24);
    ForeignPicture foreign;
    QCOMPARE(expectedFailure([&] { picture.assign(static_cast<const Picture &>(foreign)); }),
             QStringLiteral("Ne peut affecter ForeignPicture à TPCX"));
}

void TestPcx::draw_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("drawn");
    QTest::newRow("picture") << encoded(2, 2, 24) << true;
    QTest::newRow("empty picture") << QByteArray("x") << false;
}

void TestPcx::draw()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, drawn);
    TPCX picture(24);
    picture.loadFromData(file);
    QImage target(20, 20, QImage::Format_RGB32);
    target.fill(Qt::white);
    {
        QPainter painter(&target);
        picture.draw(painter, QRectF(0, 0, 20, 20));
    }
    // Stretched: the top left source pixel covers the whole top left quarter.
    const QRgb expected = drawn ? QRgb(0xFF000000u | pattern(0, 0)) : qRgb(255, 255, 255);
    QCOMPARE(target.pixel(1, 1) | 0xFF000000u, expected);
    QCOMPARE(target.pixel(8, 8) | 0xFF000000u, expected);
}

void TestPcx::clipboardTakesTheBitmap()
{
    TPCX picture(24);
    picture.loadFromData(encoded(2, 2, 24));
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("avant"));
    picture.copyToClipboard(*clipboard);
    QVERIFY(clipboard->text().isEmpty());
    QCOMPARE(clipboard->image().size(), QSize(2, 2));
    QCOMPARE(clipboard->image().pixel(0, 0), picture.bitmap().image().pixel(0, 0));

    TPCX empty(24);
    QVERIFY(!empty.toMimeData());
}

void TestPcx::canvasAndScanLine()
{
    TPCX picture(24);
    picture.loadFromData(encoded(8, 8, 8));
    QVERIFY(!picture.scanLine(-1));
    QVERIFY(!picture.scanLine(8));
    const QRgb entry5 = qRgb(185, 250, 16);
    picture.scanLine(7)[0] = 5;
    QCOMPARE(pixelAt(picture, 0, 7), entry5);
    // Painting on an 8-bit picture keeps it 8-bit, in the colours of its table.
    picture.paintOnCanvas([entry5](QPainter &painter) { painter.fillRect(0, 0, 3, 3, QColor(entry5)); });
    QCOMPARE(picture.bitmap().depth(), 8);
    QCOMPARE(picture.scanLine(1)[1], uchar(5));
    QCOMPARE(pixelAt(picture, 1, 1), entry5);

    TPCX colour(24);
    colour.loadFromData(encoded(8, 8, 24));
    colour.paintOnCanvas([](QPainter &painter) { painter.fillRect(2, 2, 2, 2, QColor(1, 2, 3)); });
    QCOMPARE(pixelAt(colour, 3, 3), qRgb(1, 2, 3));
    QCOMPARE(pixelAt(colour, 0, 0), QRgb(0xFF000000u | pattern(0, 0)));
}

void TestPcx::palette()
{
    TPCX picture(24);
    picture.loadFromData(encoded(4, 4, 4));
    QCOMPARE(picture.palette().size(), 16);
    QList<QRgb> colours(16, qRgb(9, 9, 9));
    picture.setPalette(colours);
    QCOMPARE(pixelAt(picture, 2, 2), qRgb(9, 9, 9));
    TPCX colour(24);
    colour.loadFromData(encoded(4, 4, 24));
    QVERIFY(colour.palette().isEmpty());
    colour.setPalette(colours);
    QVERIFY(colour.palette().isEmpty());
}

QTEST_MAIN(TestPcx)
#include "tst_pcx.moc"
