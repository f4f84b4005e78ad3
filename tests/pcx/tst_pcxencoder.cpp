#include "pcxtestkit.h"

#include "pictures/pcx/pcxdecoder.h"
#include "pictures/pcx/pcxencoder.h"
#include "pictures/pcx/pcxoutput.h"
#include "pictures/pcx/pcxruns.h"
#include "pictures/pcx/pcxvector.h"

#include <QBuffer>
#include <QtTest>

using namespace PcxTestKit;

namespace {

// A pattern with runs of every length and lone values, high and low.
int pattern(int x, int y)
{
    const int block = (x / (1 + y % 5)) ^ (y / 3);
    return (block * 73 + (x % 7 == 0 ? 0xC8 : 0)) & 0xFFFFFF;
}

QByteArray encodeLine(const QByteArray &values, PcxLoops loops)
{
    QByteArray written;
    QBuffer device(&written);
    device.open(QIODevice::WriteOnly);
    PcxOutput output(device, Pcx::DefaultBufferSize);
    writePcxRuns(output, reinterpret_cast<const uchar *>(values.constData()), values.size(), loops);
    output.finish();
    return written;
}

// Distinct neighbours all along, below 0xC0 unless flagged is set.
QByteArray loneValues(int count, bool flagged = false)
{
    QByteArray values;
    for (int i = 0; i < count; ++i)
        values.append(char((flagged ? 0xC0 : 0) + i % 50));
    return values;
}

// Runs of the given lengths, each value unlike the one before.
QByteArray runs(const QList<int> &lengths, int firstValue = 0xB8)
{
    QByteArray values;
    for (int i = 0; i < lengths.size(); ++i)
        values.append(QByteArray(lengths[i], char(firstValue + i * 7)));
    return values;
}

// A device that takes no bytes.
class FullDisk : public QIODevice
{
protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64) override { return -1; }
};

} // namespace

class TestPcxEncoder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void runBytes_data();
    void runBytes();
    void lines_data();
    void lines();
    void header_data();
    void header();
    void paletteBlock_data();
    void paletteBlock();
    void refused_data();
    void refused();
    void writeFailure();
    void outputBuffer_data();
    void outputBuffer();
    void roundTrip_data();
    void roundTrip();
    void vectorRuns_data();
    void vectorRuns();
    void vectorPlanes_data();
    void vectorPlanes();
};

void TestPcxEncoder::runBytes_data()
{
    QTest::addColumn<QByteArray>("values");
    QTest::addColumn<QByteArray>("codes");

    QTest::newRow("100 x 5 is 63 + 37") << QByteArray(100, 5) << bytes({0xFF, 5, 0xE5, 5});
    QTest::newRow("lone 0xC8 between different neighbours") << bytes({1, 0xC8, 2}) << bytes({1, 0xC1, 0xC8, 2});
    QTest::newRow("64 x 7: full run then the value alone") << QByteArray(64, 7) << bytes({0xFF, 7, 7});
    QTest::newRow("63 x 7: one full run and nothing more") << QByteArray(63, 7) << bytes({0xFF, 7});
    QTest::newRow("126 x 7: two full runs") << QByteArray(126, 7) << bytes({0xFF, 7, 0xFF, 7});
    QTest::newRow("64 x 0xD0: the last one as a pair") << QByteArray(64, char(0xD0)) << bytes({0xFF, 0xD0, 0xC1, 0xD0});
    QTest::newRow("lone 0xBF stays a literal") << bytes({0xBF}) << bytes({0xBF});
    QTest::newRow("lone 0xC0 needs a pair") << bytes({0xC0}) << bytes({0xC1, 0xC0});
    QTest::newRow("two equal values") << bytes({9, 9, 3}) << bytes({0xC2, 9, 3});
    QTest::newRow("nothing") << QByteArray() << QByteArray();
}

void TestPcxEncoder::runBytes()
{
    QFETCH(QByteArray, values);
    QFETCH(QByteArray, codes);
    // A small buffer takes the bytes one by one, a large one has them written in place.
    for (int bufferSize : {16, 65535}) {
        QByteArray written;
        QBuffer device(&written);
        device.open(QIODevice::WriteOnly);
        PcxOutput output(device, bufferSize);
        writePcxRuns(output, reinterpret_cast<const uchar *>(values.constData()), values.size());
        QVERIFY(output.finish());
        QCOMPARE(written.toHex(' '), codes.toHex(' '));
    }
}

void TestPcxEncoder::lines_data()
{
    QTest::addColumn<QByteArray>("bmp");
    QTest::addColumn<QByteArray>("codes"); // everything between the header and the palette block

    QTest::newRow("8 bits: runs stop at the end of each row")
        << bmpFile(4, 2, 8, rainbow(256), [](int, int) { return 5; }) << bytes({0xC4, 5, 0xC4, 5});
    QTest::newRow("8 bits: top row first")
        << bmpFile(2, 2, 8, rainbow(256), [](int, int y) { return y + 1; }) << bytes({0xC2, 1, 0xC2, 2});
    QTest::newRow("8 bits, odd width: padding byte 0 joins a run of zeros")
        << bmpFile(3, 1, 8, rainbow(256), [](int x, int) { return x == 0 ? 4 : 0; }) << bytes({4, 0xC3, 0});
    QTest::newRow("24 bits: one plane line each for red, green, blue")
        << bmpFile(2, 1, 24, {}, [](int, int) { return 0x102030; }) << bytes({0xC2, 0x10, 0xC2, 0x20, 0xC2, 0x30});
    QTest::newRow("24 bits, odd width: each plane padded with 0")
        << bmpFile(3, 1, 24, {}, [](int, int) { return 0x07E0FF; }) << bytes({0xC3, 7, 0, 0xC3, 0xE0, 0, 0xC3, 0xFF, 0});
    QTest::newRow("24 bits: runs stop at plane lines though values go on")
        << bmpFile(2, 1, 24, {}, [](int, int) { return 0x090909; }) << bytes({0xC2, 9, 0xC2, 9, 0xC2, 9});
    QTest::newRow("1 bit, 9 pixels in two bytes")
        << bmpFile(9, 1, 1, rainbow(2), [](int x, int) { return x % 2; }) << bytes({0x55, 0});
    QTest::newRow("1 bit, 17 pixels: three bytes and a padding 0")
        << bmpFile(17, 1, 1, rainbow(2), [](int, int) { return 1; }) << bytes({0xC2, 0xFF, 0x80, 0});
    QTest::newRow("4 bits")
        << bmpFile(4, 1, 4, rainbow(16), [](int x, int) { return 12 + x; }) << bytes({0xC1, 0xCD, 0xC1, 0xEF});
}

void TestPcxEncoder::lines()
{
    QFETCH(QByteArray, bmp);
    QFETCH(QByteArray, codes);
    PcxError error = PcxError::None;
    const QByteArray pcx = PcxEncoder().encode(bmp, &error);
    QCOMPARE(pcxErrorName(error), "None");
    const int tail = pcx.at(3) == 8 && pcx.at(65) == 1 ? Pcx::PaletteBlockSize : 0;
    QCOMPARE(pcx.mid(Pcx::HeaderSize, pcx.size() - Pcx::HeaderSize - tail).toHex(' '), codes.toHex(' '));
}

void TestPcxEncoder::header_data()
{
    QTest::addColumn<QByteArray>("bmp");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("planes");
    QTest::addColumn<int>("bytesPerLine");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("headerEntries"); // colours copied into the header palette

    QTest::newRow("1 bit, 72 dpi") << bmpFile(17, 3, 1, rainbow(2), pattern, 2835) << 1 << 1 << 4 << 72 << 2;
    QTest::newRow("4 bits, 300 dpi") << bmpFile(5, 2, 4, rainbow(16), pattern, 11811) << 4 << 1 << 4 << 300 << 16;
    QTest::newRow("4 bits, short colour table") << bmpFile(5, 2, 4, rainbow(5), pattern, 3780) << 4 << 1 << 4 << 96 << 5;
    QTest::newRow("8 bits, no resolution: 96 dpi") << bmpFile(5, 2, 8, rainbow(256), pattern, 0) << 8 << 1 << 6 << 96 << 0;
    QTest::newRow("24 bits, negative resolution: 96 dpi") << bmpFile(4, 1, 24, {}, pattern, -5) << 8 << 3 << 4 << 96 << 0;
    QTest::newRow("24 bits, resolution beyond 16 bits")
        << bmpFile(1, 1, 24, {}, pattern, 100000000) << 8 << 3 << 2 << 65535 << 0;
}

void TestPcxEncoder::header()
{
    QFETCH(QByteArray, bmp);
    QFETCH(int, bits);
    QFETCH(int, planes);
    QFETCH(int, bytesPerLine);
    QFETCH(int, dpi);
    QFETCH(int, headerEntries);
    const OpenedBmp source = OpenedBmp::open(bmp);
    const QByteArray pcx = PcxEncoder().encode(bmp);
    QVERIFY(pcx.size() > Pcx::HeaderSize);
    const PcxHeader h = parsePcxHeader(reinterpret_cast<const uchar *>(pcx.constData()));
    QCOMPARE(int(h.manufacturer), 10);
    QCOMPARE(int(h.version), 5);
    QCOMPARE(int(h.encoding), 1);
    QCOMPARE(int(h.bitsPerPixel), bits);
    QCOMPARE(int(h.xMin), 0);
    QCOMPARE(int(h.yMin), 0);
    QCOMPARE(int(h.xMax), source.layout.width - 1);
    QCOMPARE(int(h.yMax), source.layout.height - 1);
    QCOMPARE(int(h.horizontalDpi), dpi);
    QCOMPARE(int(h.verticalDpi), dpi);
    QCOMPARE(int(h.reserved), 0);
    QCOMPARE(int(h.planes), planes);
    QCOMPARE(int(h.bytesPerLine), bytesPerLine);
    QCOMPARE(int(h.paletteInfo), 1);
    for (int i = 0; i < 16; ++i) {
        const PcxColour expected = i < headerEntries ? source.layout.palette[size_t(i)] : PcxColour{};
        QVERIFY2(h.palette[size_t(i)] == expected, qPrintable(QStringLiteral("entry %1").arg(i)));
    }
    QCOMPARE(pcx.mid(70, 58), QByteArray(58, '\0'));
}

void TestPcxEncoder::paletteBlock_data()
{
    QTest::addColumn<int>("tableEntries");
    QTest::newRow("full table") << 256;
    QTest::newRow("10 colours: the rest black") << 10;
}

void TestPcxEncoder::paletteBlock()
{
    QFETCH(int, tableEntries);
    const PcxPalette table = rainbow(tableEntries);
    const QByteArray pcx = PcxEncoder().encode(bmpFile(7, 3, 8, table, pattern));
    const QByteArray block = pcx.right(Pcx::PaletteBlockSize);
    QCOMPARE(int(block.at(0)), 12);
    for (int i = 0; i < 256; ++i) {
        const PcxColour expected = i < tableEntries ? table[size_t(i)] : PcxColour{};
        const PcxColour written{quint8(block[1 + 3 * i]), quint8(block[2 + 3 * i]), quint8(block[3 + 3 * i])};
        QVERIFY2(written == expected, qPrintable(QStringLiteral("entry %1").arg(i)));
    }
}

void TestPcxEncoder::refused_data()
{
    QTest::addColumn<QByteArray>("bmp");
    QTest::addColumn<PcxError>("error");

    const QByteArray good = bmpFile(4, 2, 8, rainbow(256), pattern);
    auto patched = [&good](int offset, std::initializer_list<int> values) {
        QByteArray b = good;
        for (int v : values)
            b[offset++] = char(v);
        return b;
    };
    QTest::newRow("32 bits per pixel") << patched(28, {32, 0}) << PcxError::UnsupportedBitmap;
    QTest::newRow("16 bits per pixel") << patched(28, {16, 0}) << PcxError::UnsupportedBitmap;
    QTest::newRow("run-length compressed") << patched(30, {1}) << PcxError::UnsupportedBitmap;
    QTest::newRow("not BM") << patched(0, {'B', 'A'}) << PcxError::MalformedBitmap;
    QTest::newRow("rows cut short") << good.left(good.size() - 1) << PcxError::MalformedBitmap;
    QTest::newRow("headers only") << good.left(54) << PcxError::MalformedBitmap;
    QTest::newRow("width 0") << patched(18, {0, 0, 0, 0}) << PcxError::MalformedBitmap;
    QTest::newRow("pixel offset beyond the file") << patched(10, {0xFF, 0xFF, 0xFF, 0x7F}) << PcxError::MalformedBitmap;
    QTest::newRow("8 bits, 65536 wide: plane line over 65535 bytes")
        << bmpFile(65536, 1, 8, rainbow(256), pattern) << PcxError::TooWide;
    QTest::newRow("24 bits, 65536 wide: bounds field cannot hold it")
        << bmpFile(65537, 1, 1, rainbow(2), pattern) << PcxError::TooWide;
    QTest::newRow("65537 rows") << bmpFile(1, 65537, 1, rainbow(2), pattern) << PcxError::TooLarge;
}

void TestPcxEncoder::refused()
{
    QFETCH(QByteArray, bmp);
    QFETCH(PcxError, error);
    QByteArray target("earlier content");
    QBuffer device(&target);
    device.open(QIODevice::ReadWrite);
    device.seek(7);
    QCOMPARE(pcxErrorName(PcxEncoder().encode(bmp, device)), pcxErrorName(error));
    QCOMPARE(target, QByteArray("earlier content"));
    QCOMPARE(device.pos(), qint64(7));
}

void TestPcxEncoder::writeFailure()
{
    FullDisk disk;
    disk.open(QIODevice::WriteOnly);
    QCOMPARE(pcxErrorName(PcxEncoder().encode(bmpFile(30, 30, 24, {}, pattern), disk)), "WriteFailed");
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    QCOMPARE(pcxErrorName(PcxEncoder().encode(bmpFile(3, 3, 24, {}, pattern), readOnly)), "WriteFailed");
}

void TestPcxEncoder::outputBuffer_data()
{
    QTest::addColumn<int>("bufferSize");
    QTest::newRow("1 byte") << 1;
    QTest::newRow("2 bytes: pairs split across flushes") << 2;
    QTest::newRow("3 bytes") << 3;
    QTest::newRow("1000 bytes") << 1000;
    QTest::newRow("65535 bytes") << 65535;
}

void TestPcxEncoder::outputBuffer()
{
    QFETCH(int, bufferSize);
    const QByteArray bmp = bmpFile(211, 37, 8, rainbow(256), pattern);
    const QByteArray reference = PcxEncoder().encode(bmp);
    PcxEncoderOptions options;
    options.outputBufferSize = bufferSize;
    QByteArray written("prefix");
    QBuffer device(&written);
    device.open(QIODevice::ReadWrite);
    device.seek(written.size());
    PcxEncodeStats stats;
    QCOMPARE(pcxErrorName(PcxEncoder(options).encode(bmp, device, &stats)), "None");
    // Written at the device's position, after what was there.
    QCOMPARE(written, QByteArray("prefix") + reference);
    QCOMPARE(stats.bytesWritten, qint64(reference.size()));
    QCOMPARE(stats.bufferFlushes, int((reference.size() + bufferSize - 1) / bufferSize));
}

void TestPcxEncoder::roundTrip_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("bits");

    for (int bits : {1, 4, 8, 24}) {
        for (QSize size : {QSize(1, 1), QSize(2, 3), QSize(7, 5), QSize(16, 2), QSize(17, 4), QSize(33, 9), QSize(640, 3)}) {
            const QByteArray name = QByteArray::number(bits) + " bits, " + QByteArray::number(size.width()) + " x "
                + QByteArray::number(size.height());
            QTest::newRow(name.constData()) << size.width() << size.height() << bits;
        }
    }
}

void TestPcxEncoder::roundTrip()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, bits);
    const QByteArray bmp = bmpFile(width, height, bits, bits == 24 ? PcxPalette{} : rainbow(1 << bits), pattern);
    PcxError error = PcxError::None;
    const QByteArray pcx = PcxEncoder().encode(bmp, &error);
    QCOMPARE(pcxErrorName(error), "None");
    PcxDecoderOptions small;
    small.inputBufferSize = 5;
    for (const PcxDecoder &decoder : {PcxDecoder(), PcxDecoder(small)}) {
        const PcxDecodeResult back = decoder.decode(pcx);
        QCOMPARE(pcxErrorName(back.error), "None");
        QCOMPARE(pcxFormatCodeValue(back.formatCode), pcxFormatCodeValue(formatCodeForDepth(bits)));
        // Same headers, colours, rows and padding, byte for byte (72 dpi survives the round trip).
        QCOMPARE(back.bmp.toHex(), bmp.toHex());
    }
}

void TestPcxEncoder::vectorRuns_data()
{
    QTest::addColumn<QByteArray>("values");

    // Blocks of 16 values: runs that cross their edges, carried runs near 63, lines that end
    // within a block, and runs across the writer's 4096-value stretches.
    for (int offset : {0, 1, 15, 16, 17}) {
        for (int length : {2, 16, 17, 47, 48, 49, 62, 63, 64, 65, 79, 126, 127, 200}) {
            const QByteArray name = "run of " + QByteArray::number(length) + " after " + QByteArray::number(offset);
            QTest::newRow(name.constData()) << loneValues(offset) + runs({length}) + loneValues(40);
            QTest::newRow((name + ", line ends with it").constData()) << loneValues(offset) + runs({length});
        }
    }
    for (int count : {15, 16, 17, 18, 32, 33, 34})
        QTest::newRow(("lone values, line of " + QByteArray::number(count)).constData()) << loneValues(count);
    QTest::newRow("every value a run byte") << loneValues(100, true);
    QTest::newRow("pairs of run-byte values") << runs(QList<int>(40, 2), 0xC0);
    QByteArray edge;
    for (int i = 0; i < 70; ++i)
        edge.append(char(i % 2 ? 0xC0 : 0xBF));
    QTest::newRow("0xBF and 0xC0 in turn") << edge;
    QList<int> everyLength;
    for (int length = 1; length <= 130; ++length)
        everyLength << length << 1;
    QTest::newRow("runs of every length up to 130") << runs(everyLength);
    QTest::newRow("run across a stretch's end") << loneValues(4090) + runs({30}) + loneValues(10);
    QTest::newRow("run from a stretch's end to the line's") << loneValues(4095) + runs({300});
    QByteArray noisy;
    for (int i = 0; i < 9000; ++i)
        noisy.append(char(i * 255 / 9000 + int((quint32(i) * 2654435761u) >> 29) - 4));
    QTest::newRow("a photograph's gradient with noise") << noisy;
}

void TestPcxEncoder::vectorRuns()
{
    if (!PcxVector::available())
        QSKIP("this processor has no vector loops");
    QFETCH(QByteArray, values);
    QCOMPARE(encodeLine(values, PcxLoops::Fastest).toHex(' '), encodeLine(values, PcxLoops::Portable).toHex(' '));
}

void TestPcxEncoder::vectorPlanes_data()
{
    QTest::addColumn<int>("width");
    for (int width : {1, 15, 16, 17, 31, 32, 33, 48, 100})
        QTest::newRow(QByteArray::number(width).constData()) << width;
}

void TestPcxEncoder::vectorPlanes()
{
    if (!PcxVector::available())
        QSKIP("this processor has no vector loops");
    QFETCH(int, width);
    // Red, green and blue each distinct, so a byte taken from the wrong plane shows.
    const QByteArray bmp = bmpFile(width, 3, 24, {}, [](int x, int y) {
        return (x + 1) % 256 << 16 | (x + 80 + y) % 256 << 8 | (x + 160) % 256;
    });
    PcxEncoderOptions portable;
    portable.loops = PcxLoops::Portable;
    QCOMPARE(PcxEncoder().encode(bmp).toHex(' '), PcxEncoder(portable).encode(bmp).toHex(' '));
}

QTEST_GUILESS_MAIN(TestPcxEncoder)
#include "tst_pcxencoder.moc"
