#include "pcxtestkit.h"

#include "pictures/pcx/pcxdecoder.h"
#include "pictures/pcx/pcxencoder.h"

#include <QBuffer>
#include <QFile>
#include <QtTest>

using namespace PcxTestKit;

namespace {

// An 8-bit grey picture decodes to indices equal to the values: the easiest way to watch runs.
QByteArray greyFile(int width, int height, const QByteArray &codeBytes, int bytesPerLine = -1)
{
    PcxHeader h = header(width, height, 1, 8, bytesPerLine);
    h.paletteInfo = Pcx::PaletteInfoGrey;
    return pcxFile(h, codeBytes, paletteBlock());
}

// All indices, top row first.
QByteArray indices(const OpenedBmp &bmp)
{
    QByteArray all;
    for (int y = 0; y < bmp.layout.height; ++y)
        for (int x = 0; x < bmp.layout.width; ++x)
            all.append(char(bmp.index(x, y)));
    return all;
}

QByteArray rgbBytes(const OpenedBmp &bmp)
{
    QByteArray all;
    for (quint32 p : bmp.pixels()) {
        all.append(char(p >> 16));
        all.append(char(p >> 8));
        all.append(char(p));
    }
    return all;
}

// A device that can only be read front to back, like a pipe.
class SequentialBuffer : public QIODevice
{
public:
    explicit SequentialBuffer(QByteArray data) : m_data(std::move(data)) {}
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *out, qint64 max) override
    {
        const qint64 n = qMin(max, qint64(m_data.size()) - m_at);
        memcpy(out, m_data.constData() + m_at, size_t(n));
        m_at += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_data;
    qint64 m_at = 0;
};

QByteArray trueColourFile(int width, int height, const QByteArray &codeBytes, int bytesPerLine = -1)
{
    return pcxFile(header(width, height, 3, 8, bytesPerLine), codeBytes);
}

} // namespace

class TestPcxDecoder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void refused_data();
    void refused();
    void palettes_data();
    void palettes();
    void runs_data();
    void runs();
    void trueColour_data();
    void trueColour();
    void bytesPerLine_data();
    void bytesPerLine();
    void bmpLayout_data();
    void bmpLayout();
    void bufferRefills_data();
    void bufferRefills();
    void memoryLimit_data();
    void memoryLimit();
    void sequentialDevice();
    void fuzzFindings_data();
    void fuzzFindings();
};

void TestPcxDecoder::refused_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<PcxError>("error");
    QTest::addColumn<PcxFormatCode>("code");

    const QByteArray fourPixels = bytes({1, 2, 3, 4});
    QTest::newRow("empty file") << QByteArray() << PcxError::HeaderTooShort << PcxFormatCode::Other;
    QTest::newRow("127-byte header") << headerBytes(header(1, 1, 1, 8)).left(127) << PcxError::HeaderTooShort
                                     << PcxFormatCode::Other;
    {
        PcxHeader h = header(2, 2, 1, 8);
        h.version = 0;
        QTest::newRow("version 0") << pcxFile(h, fourPixels, paletteBlock()) << PcxError::BadVersion
                                   << PcxFormatCode::Other;
    }
    {
        PcxHeader h = header(2, 2, 1, 8);
        h.reserved = 1;
        QTest::newRow("non-zero reserved byte") << pcxFile(h, fourPixels, paletteBlock()) << PcxError::BadReserved
                                                << PcxFormatCode::Other;
    }
    {
        PcxHeader h = header(2, 2, 1, 8, 2);
        QTest::newRow("256 colours, block marker 11")
            << pcxFile(h, fourPixels, paletteBlock(11)) << PcxError::MissingPaletteBlock << PcxFormatCode::EightBitPalette;
        QTest::newRow("256 colours, no block at all")
            << pcxFile(h, fourPixels + QByteArray(769, '\0')) << PcxError::MissingPaletteBlock
            << PcxFormatCode::EightBitPalette;
        h.paletteInfo = Pcx::PaletteInfoGrey;
        QTest::newRow("256 greys, block marker 0")
            << pcxFile(h, fourPixels, paletteBlock(0)) << PcxError::MissingPaletteBlock << PcxFormatCode::EightBitGrey;
        QTest::newRow("256 greys, file shorter than the block")
            << pcxFile(h, fourPixels) << PcxError::MissingPaletteBlock << PcxFormatCode::EightBitGrey;
    }
    QTest::newRow("16 colours in four 1-bit planes")
        << pcxFile(header(8, 2, 4, 1), QByteArray(16, char(0x55))) << PcxError::FourPlanes << PcxFormatCode::FourPlanes;
    QTest::newRow("2 bits in one plane") << pcxFile(header(4, 1, 1, 2), bytes({0x1B, 0})) << PcxError::UnsupportedLayout
                                         << PcxFormatCode::Other;
    QTest::newRow("24 bits cut in the second line")
        << trueColourFile(2, 2, literals(bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}))) << PcxError::TruncatedData
        << PcxFormatCode::TrueColour;
    QTest::newRow("24 bits cut after a run byte")
        << trueColourFile(2, 1, bytes({0xC5})) << PcxError::TruncatedData << PcxFormatCode::TrueColour;
    QTest::newRow("1 bit cut in the last line")
        << pcxFile(header(16, 3, 1, 1), bytes({0x7F, 0x7F, 0x7F, 0x7F, 0x7F})) << PcxError::TruncatedData
        << PcxFormatCode::OneBitPalette;
    QTest::newRow("8 bits whose block cannot fill the picture")
        << greyFile(400, 400, bytes({0xFF, 0x01})) << PcxError::TruncatedData << PcxFormatCode::EightBitGrey;
    {
        PcxHeader h = header(4, 4, 3, 8);
        h.xMin = 5;
        h.xMax = 4;
        QTest::newRow("x maximum below minimum") << pcxFile(h, QByteArray(200, char(0x40))) << PcxError::InvertedBounds
                                                 << PcxFormatCode::TrueColour;
    }
    {
        PcxHeader h = header(4, 4, 1, 4);
        h.yMin = 0xFFFF;
        h.yMax = 0;
        QTest::newRow("y maximum below minimum (wraps to 2)") << pcxFile(h, QByteArray(200, char(0x11)))
                                                              << PcxError::InvertedBounds << PcxFormatCode::FourBitPalette;
    }
    QTest::newRow("bytes per line 0") << trueColourFile(4, 1, QByteArray(12, char(1)), 0) << PcxError::BadBytesPerLine
                                      << PcxFormatCode::TrueColour;
    QTest::newRow("bytes per line narrower than the width")
        << pcxFile(header(17, 1, 1, 1, 2), QByteArray(4, char(1))) << PcxError::BadBytesPerLine
        << PcxFormatCode::OneBitPalette;
    QTest::newRow("24 bits of 40000 x 40000") << pcxFile(header(40000, 40000, 3, 8), QByteArray(1000, char(0xFF)))
                                              << PcxError::TooLarge << PcxFormatCode::TrueColour;
    QTest::newRow("1 bit of 30000 x 30000, too short to be true")
        << pcxFile(header(30000, 30000, 1, 1), bytes({0xFF, 0})) << PcxError::TruncatedData << PcxFormatCode::OneBitPalette;
}

void TestPcxDecoder::refused()
{
    QFETCH(QByteArray, file);
    QFETCH(PcxError, error);
    QFETCH(PcxFormatCode, code);
    const PcxDecodeResult result = PcxDecoder().decode(file);
    QCOMPARE(pcxErrorName(result.error), pcxErrorName(error));
    QCOMPARE(pcxFormatCodeValue(result.formatCode), pcxFormatCodeValue(code));
    QVERIFY(result.bmp.isEmpty());
}

void TestPcxDecoder::palettes_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<PcxFormatCode>("code");
    QTest::addColumn<QList<quint32>>("colours"); // the BMP colour table, as 0xRRGGBB
    QTest::addColumn<QList<quint32>>("pixels");

    auto table = [](const PcxPalette &palette) {
        QList<quint32> out;
        for (const PcxColour &c : palette)
            out.append(quint32(c.red) << 16 | quint32(c.green) << 8 | c.blue);
        return out;
    };

    {
        // 1 0 1 1 0 0 0 0
        PcxHeader h = header(4, 1, 1, 1);
        h.palette[0] = PcxColour{200, 0, 0};
        h.palette[1] = PcxColour{0, 0, 200};
        h.paletteInfo = 0;
        QTest::newRow("1 bit, information 0: black and white")
            << pcxFile(h, bytes({0xB0, 0})) << PcxFormatCode::OneBitGrey << table(greyPalette(2))
            << QList<quint32>{0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF};
        h.paletteInfo = 1;
        QTest::newRow("1 bit, information 1: header entries 0 and 1")
            << pcxFile(h, bytes({0xB0, 0})) << PcxFormatCode::OneBitPalette << QList<quint32>{0xC80000, 0x0000C8}
            << QList<quint32>{0x0000C8, 0xC80000, 0x0000C8, 0x0000C8};
        h.palette = {};
        QTest::newRow("1 bit, information 1, zero palette: black and white, not all black")
            << pcxFile(h, bytes({0xB0, 0})) << PcxFormatCode::OneBitPalette << table(greyPalette(2))
            << QList<quint32>{0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF};
        h.palette[0] = h.palette[1] = PcxColour{200, 0, 0};
        h.palette[2] = PcxColour{0, 0, 200};
        QTest::newRow("1 bit, information 1, two equal entries kept")
            << pcxFile(h, bytes({0xB0, 0})) << PcxFormatCode::OneBitPalette << QList<quint32>{0xC80000, 0xC80000}
            << QList<quint32>{0xC80000, 0xC80000, 0xC80000, 0xC80000};
        h.palette[0] = PcxColour{0, 0, 0};
        h.palette[1] = PcxColour{0, 0, 1};
        QTest::newRow("1 bit, information 1, black and nearly black kept")
            << pcxFile(h, bytes({0xB0, 0})) << PcxFormatCode::OneBitPalette << QList<quint32>{0, 1}
            << QList<quint32>{1, 0, 1, 1};
    }
    {
        PcxHeader h = header(4, 1, 1, 4);
        PcxPalette colours;
        for (int i = 0; i < 16; ++i) {
            h.palette[size_t(i)] = PcxColour{quint8(i * 10), quint8(i), quint8(255 - i)};
            colours.push_back(h.palette[size_t(i)]);
        }
        QTest::newRow("4 bits, header palette")
            << pcxFile(h, bytes({0x0F, 0x7A})) << PcxFormatCode::FourBitPalette << table(colours)
            << QList<quint32>{table(colours)[0], table(colours)[15], table(colours)[7], table(colours)[10]};
        h.paletteInfo = 2;
        QTest::newRow("4 bits, 16 grey levels")
            << pcxFile(h, bytes({0x0F, 0x7A})) << PcxFormatCode::FourBitGrey << table(greyPalette(16))
            << QList<quint32>{0, 0xF0F0F0, 0x707070, 0xA0A0A0};
    }
    {
        PcxHeader h = header(3, 1, 1, 8, 4);
        PcxPalette block;
        for (int i = 0; i < 256; ++i)
            block.push_back(PcxColour{quint8(i), quint8(255 - i), quint8(i / 2)});
        const QByteArray codes = literals(bytes({0, 200, 255, 9}));
        QTest::newRow("256 colours with the block marker")
            << pcxFile(h, codes, paletteBlock()) << PcxFormatCode::EightBitPalette << table(block)
            << QList<quint32>{0x00FF00, 0xC83764, 0xFF007F};
        h.paletteInfo = 0;
        QTest::newRow("8 bits, information 0 means colours")
            << pcxFile(h, codes, paletteBlock()) << PcxFormatCode::EightBitPalette << table(block)
            << QList<quint32>{0x00FF00, 0xC83764, 0xFF007F};
        h.paletteInfo = 2;
        QTest::newRow("256 greys whatever the block holds")
            << pcxFile(h, codes, paletteBlock()) << PcxFormatCode::EightBitGrey << table(greyPalette(256))
            << QList<quint32>{0, 0xC8C8C8, 0xFFFFFF};
        QTest::newRow("256 greys with an all-zero block")
            << pcxFile(h, codes, QByteArray(1, char(12)) + QByteArray(768, '\0')) << PcxFormatCode::EightBitGrey
            << table(greyPalette(256)) << QList<quint32>{0, 0xC8C8C8, 0xFFFFFF};
    }
}

void TestPcxDecoder::palettes()
{
    QFETCH(QByteArray, file);
    QFETCH(PcxFormatCode, code);
    QFETCH(QList<quint32>, colours);
    QFETCH(QList<quint32>, pixels);
    const PcxDecodeResult result = PcxDecoder().decode(file);
    QCOMPARE(pcxErrorName(result.error), "None");
    QCOMPARE(pcxFormatCodeValue(result.formatCode), pcxFormatCodeValue(code));
    const OpenedBmp bmp = OpenedBmp::open(result.bmp);
    QCOMPARE(pcxErrorName(bmp.error), "None");
    QList<quint32> table;
    for (const PcxColour &c : bmp.layout.palette)
        table.append(quint32(c.red) << 16 | quint32(c.green) << 8 | c.blue);
    QCOMPARE(table, colours);
    QCOMPARE(bmp.pixels(), pixels);
}

void TestPcxDecoder::runs_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QByteArray>("codes");
    QTest::addColumn<QByteArray>("expected"); // every pixel, top row first

    QTest::newRow("literals below 0xC0") << 4 << 1 << bytes({0, 1, 0xBF, 7}) << bytes({0, 1, 0xBF, 7});
    QTest::newRow("0xC0 v adds nothing") << 2 << 1 << bytes({0xC0, 9, 3, 0xC0, 0xFF, 4}) << bytes({3, 4});
    QTest::newRow("0xC1 v gives a lone high value") << 2 << 1 << bytes({0xC1, 0xC8, 0xC1, 0xFF}) << bytes({0xC8, 0xFF});
    QTest::newRow("0xFF repeats 63 times") << 64 << 1 << bytes({0xFF, 5, 6}) << QByteArray(63, 5) + bytes({6});
    QTest::newRow("run of 2 then literal") << 4 << 1 << bytes({0xC2, 0xE0, 1, 2}) << bytes({0xE0, 0xE0, 1, 2});
    QTest::newRow("run crossing the end of a line goes on in the next")
        << 4 << 2 << bytes({1, 2, 0xC4, 9, 3, 4}) << bytes({1, 2, 9, 9, 9, 9, 3, 4});
    QTest::newRow("run spanning three lines") << 2 << 3 << bytes({0xC6, 7}) << bytes({7, 7, 7, 7, 7, 7});
    QTest::newRow("run beyond the last line is cut") << 2 << 2 << bytes({0xC9, 7}) << bytes({7, 7, 7, 7});
    QTest::newRow("bytes after the last line are not pixels") << 2 << 1 << bytes({1, 2, 0xC5}) << bytes({1, 2});
    QTest::newRow("odd width: padding byte dropped")
        << 3 << 2 << bytes({1, 2, 3, 0x44, 4, 5, 6, 0x55}) << bytes({1, 2, 3, 4, 5, 6});
    QTest::newRow("padding run shared with the next line")
        << 3 << 2 << bytes({1, 2, 0xC3, 0, 5, 6, 0}) << bytes({1, 2, 0, 0, 5, 6});
}

void TestPcxDecoder::runs()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QByteArray, codes);
    QFETCH(QByteArray, expected);
    const PcxDecodeResult result = PcxDecoder().decode(greyFile(width, height, codes));
    QCOMPARE(pcxErrorName(result.error), "None");
    const OpenedBmp bmp = OpenedBmp::open(result.bmp);
    QCOMPARE(bmp.layout.width, width);
    QCOMPARE(bmp.layout.height, height);
    QCOMPARE(indices(bmp), expected);
}

void TestPcxDecoder::trueColour_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("bytesPerLine");
    QTest::addColumn<QByteArray>("codes");
    QTest::addColumn<QByteArray>("expected"); // red, green, blue of every pixel, top row first

    QTest::newRow("planes are red, green, blue")
        << 2 << 1 << 2 << literals(bytes({10, 11, 20, 21, 30, 31})) << bytes({10, 20, 30, 11, 21, 31});
    QTest::newRow("odd width: each plane's padding dropped")
        << 3 << 1 << 4 << literals(bytes({1, 2, 3, 0xAA, 4, 5, 6, 0xBB, 7, 8, 9, 0xCC}))
        << bytes({1, 4, 7, 2, 5, 8, 3, 6, 9});
    QTest::newRow("run across plane lines")
        << 2 << 1 << 2 << bytes({0xC3, 0xEE, 0xC3, 0x11}) << bytes({0xEE, 0xEE, 0x11, 0xEE, 0x11, 0x11});
    QTest::newRow("run across scan lines")
        << 1 << 2 << 2 << bytes({1, 0, 2, 0, 3, 0xC3, 9, 5, 0, 6, 0}) << bytes({1, 2, 3, 9, 5, 6});
    QTest::newRow("one run fills the picture") << 2 << 2 << 2 << bytes({0xCC, 0x80}) << QByteArray(12, char(0x80));
    QTest::newRow("wide plane lines: extra values dropped")
        << 1 << 1 << 4 << literals(bytes({1, 9, 9, 9, 2, 9, 9, 9, 3, 9, 9, 9})) << bytes({1, 2, 3});
}

void TestPcxDecoder::trueColour()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, bytesPerLine);
    QFETCH(QByteArray, codes);
    QFETCH(QByteArray, expected);
    const PcxDecodeResult result = PcxDecoder().decode(trueColourFile(width, height, codes, bytesPerLine));
    QCOMPARE(pcxErrorName(result.error), "None");
    QCOMPARE(pcxFormatCodeValue(result.formatCode), pcxFormatCodeValue(PcxFormatCode::TrueColour));
    const OpenedBmp bmp = OpenedBmp::open(result.bmp);
    QCOMPARE(bmp.layout.bitsPerPixel, 24);
    QCOMPARE(rgbBytes(bmp), expected);
    // The BMP row padding is zero, not left over from the plane lines.
    const qint64 used = 3 * qint64(width);
    for (int y = 0; y < height; ++y)
        for (qint64 i = used; i < bmp.layout.rowSize(); ++i)
            QCOMPARE(int(bmp.row(y)[i]), 0);
}

void TestPcxDecoder::bytesPerLine_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("bytesPerLine");
    QTest::addColumn<QByteArray>("codes");
    QTest::addColumn<QByteArray>("rowBytes"); // stored bytes of each BMP row, top row first

    QTest::newRow("1 bit, 17 pixels in 4 bytes (row of 4)")
        << 17 << 1 << 4 << literals(bytes({0xAA, 0x55, 0x80, 0x00})) << bytes({0xAA, 0x55, 0x80, 0x00});
    QTest::newRow("1 bit, 8 pixels in 6 bytes: wider than the row")
        << 8 << 1 << 6 << literals(bytes({0x81, 1, 2, 3, 4, 5})) << bytes({0x81, 0, 0, 0});
    QTest::newRow("4 bits, 3 pixels in 2 bytes, row padded with zeros")
        << 3 << 4 << 2 << literals(bytes({0x12, 0x30})) << bytes({0x12, 0x30, 0, 0});
    QTest::newRow("8 bits, 2 pixels in 8 bytes")
        << 2 << 8 << 8 << literals(bytes({7, 8, 1, 1, 1, 1, 1, 1})) << bytes({7, 8, 0, 0});
    QTest::newRow("8 bits, 37 pixels in 38 bytes: the line's padding byte is not kept")
        << 37 << 8 << 38 << literals(QByteArray(37, 9) + bytes({5})) << QByteArray(37, 9) + bytes({0, 0, 0});
}

void TestPcxDecoder::bytesPerLine()
{
    QFETCH(int, width);
    QFETCH(int, bits);
    QFETCH(int, bytesPerLine);
    QFETCH(QByteArray, codes);
    QFETCH(QByteArray, rowBytes);
    PcxHeader h = header(width, 1, 1, bits, bytesPerLine);
    const QByteArray file = pcxFile(h, codes, bits == 8 ? paletteBlock() : QByteArray());
    const PcxDecodeResult result = PcxDecoder().decode(file);
    QCOMPARE(pcxErrorName(result.error), "None");
    const OpenedBmp bmp = OpenedBmp::open(result.bmp);
    QCOMPARE(bmp.layout.rowSize(), qint64(rowBytes.size()));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(bmp.row(0)), rowBytes.size()), rowBytes);
}

void TestPcxDecoder::bmpLayout_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("paletteEntries");
    QTest::addColumn<int>("rowSize");
    QTest::addColumn<int>("pixelsPerMetre");

    {
        PcxHeader h = header(9, 2, 1, 1);
        h.horizontalDpi = h.verticalDpi = 72;
        QTest::newRow("1 bit, 72 dpi") << pcxFile(h, QByteArray(8, char(0x0F))) << 1 << 2 << 4 << 2835;
    }
    {
        PcxHeader h = header(9, 2, 1, 4);
        h.horizontalDpi = h.verticalDpi = 300;
        QTest::newRow("4 bits, 300 dpi") << pcxFile(h, QByteArray(12, char(0x0F))) << 4 << 16 << 8 << 11811;
    }
    {
        PcxHeader h = header(5, 2, 1, 8);
        h.horizontalDpi = h.verticalDpi = 0;
        QTest::newRow("8 bits, no resolution") << pcxFile(h, QByteArray(12, char(3)), paletteBlock()) << 8 << 256 << 8 << 0;
    }
    {
        PcxHeader h = header(5, 2, 3, 8);
        h.horizontalDpi = h.verticalDpi = 96;
        QTest::newRow("24 bits, 96 dpi") << pcxFile(h, QByteArray(36, char(3))) << 24 << 0 << 16 << 3780;
    }
}

void TestPcxDecoder::bmpLayout()
{
    QFETCH(QByteArray, file);
    QFETCH(int, bits);
    QFETCH(int, paletteEntries);
    QFETCH(int, rowSize);
    QFETCH(int, pixelsPerMetre);
    const PcxDecodeResult result = PcxDecoder().decode(file);
    QCOMPARE(pcxErrorName(result.error), "None");
    const QByteArray &b = result.bmp;
    const auto *u = reinterpret_cast<const uchar *>(b.constData());
    const int offset = 54 + 4 * paletteEntries;
    const int height = 2;
    QCOMPARE(b.left(2), QByteArray("BM"));
    QCOMPARE(qFromLittleEndian<quint32>(u + 2), quint32(offset + rowSize * height));
    QCOMPARE(b.size(), offset + rowSize * height);
    QCOMPARE(qFromLittleEndian<quint32>(u + 6), 0u);
    QCOMPARE(qFromLittleEndian<quint32>(u + 10), quint32(offset));
    QCOMPARE(qFromLittleEndian<quint32>(u + 14), 40u);
    QCOMPARE(qFromLittleEndian<qint32>(u + 22), height); // positive: bottom-up
    QCOMPARE(qFromLittleEndian<quint16>(u + 26), quint16(1));
    QCOMPARE(qFromLittleEndian<quint16>(u + 28), quint16(bits));
    QCOMPARE(qFromLittleEndian<quint32>(u + 30), 0u);
    QCOMPARE(qFromLittleEndian<quint32>(u + 34), quint32(rowSize * height));
    QCOMPARE(qFromLittleEndian<qint32>(u + 38), pixelsPerMetre);
    QCOMPARE(qFromLittleEndian<qint32>(u + 42), pixelsPerMetre);
    QCOMPARE(qFromLittleEndian<quint32>(u + 46), 0u);
    QCOMPARE(qFromLittleEndian<quint32>(u + 50), 0u);
    for (int i = 0; i < paletteEntries; ++i)
        QCOMPARE(int(u[54 + 4 * i + 3]), 0);
}

void TestPcxDecoder::bufferRefills_data()
{
    QTest::addColumn<int>("bufferSize");
    QTest::newRow("1 byte: every run pair split") << 1;
    QTest::newRow("2 bytes") << 2;
    QTest::newRow("3 bytes: pairs split at odd places") << 3;
    QTest::newRow("127 bytes") << 127;
    QTest::newRow("65535 bytes") << 65535;
}

void TestPcxDecoder::bufferRefills()
{
    QFETCH(int, bufferSize);
    // A 24-bit picture mixing runs of every length with literals, and an 8-bit one whose palette
    // block is read apart from the buffered pixel data.
    QByteArray codes;
    for (int i = 0; i < 600; ++i) {
        codes += bytes({0xC0 | (i % 64), i & 0xFF});
        codes += literals(bytes({(i * 7) & 0xFF}));
    }
    const QByteArray files[] = {trueColourFile(37, 50, codes + QByteArray(20000, char(1))),
                                greyFile(61, 70, codes + QByteArray(20000, char(2)))};
    for (const QByteArray &file : files) {
        const PcxDecodeResult reference = PcxDecoder().decode(file);
        QCOMPARE(pcxErrorName(reference.error), "None");
        PcxDecoderOptions options;
        options.inputBufferSize = bufferSize;
        // A file in memory is read in windows of the buffer's size, a device through the buffer.
        QBuffer device;
        device.setData(file);
        device.open(QIODevice::ReadOnly);
        for (const PcxDecodeResult &result : {PcxDecoder(options).decode(file), PcxDecoder(options).decode(device)}) {
            QCOMPARE(pcxErrorName(result.error), "None");
            QVERIFY(result.bmp == reference.bmp);
            if (bufferSize < 100)
                QVERIFY(result.inputRefills > 100);
            else if (bufferSize == 65535)
                QCOMPARE(result.inputRefills, 1);
        }
    }
}

void TestPcxDecoder::memoryLimit_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<PcxError>("error");

    // 100 x 100 at 24 bits: rows of 300 bytes, a 30,054-byte BMP file.
    QTest::newRow("just fits") << 100 << 100 << qint64(30054) << PcxError::None;
    QTest::newRow("one byte over") << 100 << 100 << qint64(30053) << PcxError::TooLarge;
    QTest::newRow("default limit, 9000 x 9000 fits") << 9000 << 9000 << qint64(-1) << PcxError::TruncatedData;
    QTest::newRow("default limit, 10000 x 10000 refused") << 10000 << 10000 << qint64(-1) << PcxError::TooLarge;
}

void TestPcxDecoder::memoryLimit()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(qint64, limit);
    QFETCH(PcxError, error);
    PcxDecoderOptions options;
    if (limit >= 0)
        options.maxImageBytes = limit;
    // One run per plane line: a complete file only for the small pictures.
    QByteArray codes;
    if (width == 100) {
        for (int line = 0; line < 3 * height; ++line)
            codes += bytes({0xFF, 1, 0xE5, 1});
    }
    const PcxDecodeResult result = PcxDecoder(options).decode(trueColourFile(width, height, codes));
    QCOMPARE(pcxErrorName(result.error), pcxErrorName(error));
}

void TestPcxDecoder::sequentialDevice()
{
    PcxHeader h = header(3, 1, 1, 8, 4);
    const QByteArray file = pcxFile(h, literals(bytes({0, 200, 255, 9})), paletteBlock());
    SequentialBuffer pipe(file);
    pipe.open(QIODevice::ReadOnly);
    const PcxDecodeResult result = PcxDecoder().decode(pipe);
    QCOMPARE(pcxErrorName(result.error), "None");
    QCOMPARE(result.bmp, PcxDecoder().decode(file).bmp);

    QBuffer closed;
    QCOMPARE(pcxErrorName(PcxDecoder().decode(closed).error), "ReadFailed");
}

// Inputs the fuzz targets once caught misbehaving; each must now decode to a BMP image that
// survives encoding and decoding again unchanged (the resolution aside).
void TestPcxDecoder::fuzzFindings_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<PcxError>("error");
    QTest::newRow("8-bit line padding byte left in the BMP row padding")
        << QStringLiteral("line-padding-byte-in-bmp-row.pcx") << PcxError::None;
}

void TestPcxDecoder::fuzzFindings()
{
    QFETCH(QString, file);
    QFETCH(PcxError, error);
    QFile input(QStringLiteral(NELO_TEST_DATA "/pcx/fuzz/") + file);
    QVERIFY2(input.open(QIODevice::ReadOnly), qPrintable(input.fileName()));
    const PcxDecodeResult result = PcxDecoder().decode(input);
    QCOMPARE(pcxErrorName(result.error), pcxErrorName(error));
    if (!result.ok())
        return;
    PcxError encoded = PcxError::None;
    const QByteArray pcx = PcxEncoder().encode(result.bmp, &encoded);
    QCOMPARE(pcxErrorName(encoded), "None");
    const PcxDecodeResult back = PcxDecoder().decode(pcx);
    QCOMPARE(pcxErrorName(back.error), "None");
    QCOMPARE(back.bmp.mid(Bmp::HeadersSize).toHex(), result.bmp.mid(Bmp::HeadersSize).toHex());
}

QTEST_GUILESS_MAIN(TestPcxDecoder)
#include "tst_pcxdecoder.moc"
