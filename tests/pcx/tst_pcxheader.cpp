#include "pcxtestkit.h"

#include "pictures/pcx/pcxheader.h"

#include <QtTest>

using namespace PcxTestKit;

class TestPcxHeader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fieldsRoundTrip();
    void check_data();
    void check();
    void classify_data();
    void classify();
    void dimensions_data();
    void dimensions();
};

void TestPcxHeader::fieldsRoundTrip()
{
    PcxHeader h = header(321, 123, 3, 8);
    h.xMin = 7;
    h.yMin = 0x1234;
    h.horizontalDpi = 300;
    h.verticalDpi = 0xABCD;
    h.palette[15] = PcxColour{1, 2, 3};
    const QByteArray bytes = headerBytes(h);
    QCOMPARE(bytes.size(), 128);
    // Little-endian words at their offsets.
    QCOMPARE(uchar(bytes[4]), uchar(7));
    QCOMPARE(uchar(bytes[6]), uchar(0x34));
    QCOMPARE(uchar(bytes[7]), uchar(0x12));
    QCOMPARE(uchar(bytes[15]), uchar(0xAB));
    QCOMPARE(uchar(bytes[16 + 45]), uchar(1));
    QCOMPARE(uchar(bytes[65]), uchar(3));
    const PcxHeader back = parsePcxHeader(reinterpret_cast<const uchar *>(bytes.constData()));
    QCOMPARE(back.xMin, h.xMin);
    QCOMPARE(back.yMin, h.yMin);
    QCOMPARE(back.xMax, h.xMax);
    QCOMPARE(back.yMax, h.yMax);
    QCOMPARE(back.verticalDpi, h.verticalDpi);
    QCOMPARE(back.bytesPerLine, h.bytesPerLine);
    QVERIFY(back.palette == h.palette);
    QVERIFY(bytes.mid(70).count('\0') == 58);
}

void TestPcxHeader::check_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("value");
    QTest::addColumn<PcxError>("expected");

    QTest::newRow("manufacturer 10") << 0 << 10 << PcxError::None;
    QTest::newRow("manufacturer 11") << 0 << 11 << PcxError::BadManufacturer;
    QTest::newRow("manufacturer 0") << 0 << 0 << PcxError::BadManufacturer;
    QTest::newRow("version 0 refused") << 1 << 0 << PcxError::BadVersion;
    QTest::newRow("version 1") << 1 << 1 << PcxError::None;
    QTest::newRow("version 2") << 1 << 2 << PcxError::None;
    QTest::newRow("version 3") << 1 << 3 << PcxError::None;
    QTest::newRow("version 4") << 1 << 4 << PcxError::None;
    QTest::newRow("version 5") << 1 << 5 << PcxError::None;
    QTest::newRow("version 6") << 1 << 6 << PcxError::BadVersion;
    QTest::newRow("encoding 0") << 2 << 0 << PcxError::BadEncoding;
    QTest::newRow("encoding 2") << 2 << 2 << PcxError::BadEncoding;
    QTest::newRow("reserved 1") << 64 << 1 << PcxError::BadReserved;
    QTest::newRow("reserved 0xFF") << 64 << 0xFF << PcxError::BadReserved;
    QTest::newRow("palette information 0") << 68 << 0 << PcxError::None;
    QTest::newRow("palette information 2") << 68 << 2 << PcxError::None;
    QTest::newRow("palette information 3") << 68 << 3 << PcxError::BadPaletteInfo;
    QTest::newRow("palette information high byte") << 69 << 1 << PcxError::BadPaletteInfo;
    QTest::newRow("ignored tail byte") << 100 << 0x55 << PcxError::None;
}

void TestPcxHeader::check()
{
    QFETCH(int, offset);
    QFETCH(int, value);
    QFETCH(PcxError, expected);
    QByteArray bytes = headerBytes(header(4, 4, 1, 8));
    bytes[offset] = char(value);
    const PcxHeader h = parsePcxHeader(reinterpret_cast<const uchar *>(bytes.constData()));
    QCOMPARE(pcxErrorName(checkPcxHeader(h)), pcxErrorName(expected));
}

void TestPcxHeader::classify_data()
{
    QTest::addColumn<int>("planes");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("paletteInfo");
    QTest::addColumn<PcxError>("expected");
    QTest::addColumn<PcxFormatCode>("code");
    QTest::addColumn<int>("bmpBits");
    QTest::addColumn<bool>("grey");

    QTest::newRow("1 bit, information 0 is grey") << 1 << 1 << 0 << PcxError::None << PcxFormatCode::OneBitGrey << 1 << true;
    QTest::newRow("1 bit, information 1 is colour") << 1 << 1 << 1 << PcxError::None << PcxFormatCode::OneBitPalette << 1 << false;
    QTest::newRow("1 bit, information 2 is grey") << 1 << 1 << 2 << PcxError::None << PcxFormatCode::OneBitGrey << 1 << true;
    QTest::newRow("4 bits, information 0 is colour") << 1 << 4 << 0 << PcxError::None << PcxFormatCode::FourBitPalette << 4 << false;
    QTest::newRow("4 bits, information 1 is colour") << 1 << 4 << 1 << PcxError::None << PcxFormatCode::FourBitPalette << 4 << false;
    QTest::newRow("4 bits, information 2 is grey") << 1 << 4 << 2 << PcxError::None << PcxFormatCode::FourBitGrey << 4 << true;
    QTest::newRow("8 bits, information 0 is colour") << 1 << 8 << 0 << PcxError::None << PcxFormatCode::EightBitPalette << 8 << false;
    QTest::newRow("8 bits, information 1 is colour") << 1 << 8 << 1 << PcxError::None << PcxFormatCode::EightBitPalette << 8 << false;
    QTest::newRow("8 bits, information 2 is grey") << 1 << 8 << 2 << PcxError::None << PcxFormatCode::EightBitGrey << 8 << true;
    QTest::newRow("3 planes of 8 bits") << 3 << 8 << 1 << PcxError::None << PcxFormatCode::TrueColour << 24 << false;
    QTest::newRow("4 planes of 1 bit") << 4 << 1 << 1 << PcxError::FourPlanes << PcxFormatCode::FourPlanes << 0 << false;
    QTest::newRow("4 planes of 8 bits") << 4 << 8 << 1 << PcxError::FourPlanes << PcxFormatCode::FourPlanes << 0 << false;
    QTest::newRow("1 plane of 2 bits") << 1 << 2 << 1 << PcxError::UnsupportedLayout << PcxFormatCode::Other << 0 << false;
    QTest::newRow("1 plane of 24 bits") << 1 << 24 << 1 << PcxError::UnsupportedLayout << PcxFormatCode::Other << 0 << false;
    QTest::newRow("3 planes of 1 bit") << 3 << 1 << 1 << PcxError::UnsupportedLayout << PcxFormatCode::Other << 0 << false;
    QTest::newRow("2 planes of 8 bits") << 2 << 8 << 1 << PcxError::UnsupportedLayout << PcxFormatCode::Other << 0 << false;
    QTest::newRow("0 planes") << 0 << 8 << 1 << PcxError::UnsupportedLayout << PcxFormatCode::Other << 0 << false;
}

void TestPcxHeader::classify()
{
    QFETCH(int, planes);
    QFETCH(int, bits);
    QFETCH(int, paletteInfo);
    QFETCH(PcxError, expected);
    QFETCH(PcxFormatCode, code);
    QFETCH(int, bmpBits);
    QFETCH(bool, grey);
    PcxHeader h = header(8, 8, planes, bits, 8);
    h.paletteInfo = quint16(paletteInfo);
    PcxLayout layout;
    QCOMPARE(pcxErrorName(classifyPcx(h, layout)), pcxErrorName(expected));
    QCOMPARE(pcxFormatCodeValue(layout.formatCode), pcxFormatCodeValue(code));
    QCOMPARE(layout.bmpBitsPerPixel, bmpBits);
    QCOMPARE(layout.greyLevels, grey);
    QCOMPARE(layout.needsPaletteBlock, planes == 1 && bits == 8);
}

void TestPcxHeader::dimensions_data()
{
    QTest::addColumn<int>("xMin");
    QTest::addColumn<int>("xMax");
    QTest::addColumn<int>("yMin");
    QTest::addColumn<int>("yMax");
    QTest::addColumn<PcxError>("expected");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");

    QTest::newRow("from zero") << 0 << 99 << 0 << 49 << PcxError::None << 100 << 50;
    QTest::newRow("offset origin") << 10 << 19 << 300 << 300 << PcxError::None << 10 << 1;
    QTest::newRow("one pixel") << 0 << 0 << 0 << 0 << PcxError::None << 1 << 1;
    QTest::newRow("whole 16-bit range") << 0 << 0xFFFF << 0 << 0xFFFF << PcxError::None << 65536 << 65536;
    QTest::newRow("x maximum below minimum") << 10 << 9 << 0 << 0 << PcxError::InvertedBounds << 0 << 0;
    QTest::newRow("y maximum below minimum") << 0 << 0 << 1 << 0 << PcxError::InvertedBounds << 0 << 0;
}

void TestPcxHeader::dimensions()
{
    QFETCH(int, xMin);
    QFETCH(int, xMax);
    QFETCH(int, yMin);
    QFETCH(int, yMax);
    QFETCH(PcxError, expected);
    QFETCH(int, width);
    QFETCH(int, height);
    PcxHeader h;
    h.xMin = quint16(xMin);
    h.xMax = quint16(xMax);
    h.yMin = quint16(yMin);
    h.yMax = quint16(yMax);
    int w = 0;
    int hh = 0;
    QCOMPARE(pcxErrorName(pcxDimensions(h, w, hh)), pcxErrorName(expected));
    if (expected == PcxError::None) {
        QCOMPARE(w, width);
        QCOMPARE(hh, height);
    }
}

QTEST_GUILESS_MAIN(TestPcxHeader)
#include "tst_pcxheader.moc"
