// Files written by ImageMagick and Pillow decode to the pixels their own readers see, and
// files our encoder writes decode in both of them to the pixels we wrote.

#include "pcxtestkit.h"

#include "pictures/pcx/pcxdecoder.h"
#include "pictures/pcx/pcxencoder.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace PcxTestKit;

namespace {

const QString SamplesScript = QStringLiteral(NELO_TEST_DATA "/pcx/pcxsamples.py");
const QString Python = QStringLiteral("/usr/bin/python3");

// A binary PPM with 8-bit samples, as both programs write it.
struct Ppm
{
    int width = 0;
    int height = 0;
    QByteArray rgb;

    static Ppm read(const QString &path)
    {
        Ppm ppm;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return ppm;
        const QByteArray all = file.readAll();
        // "P6", width, height, maximum, each followed by one blank; no comments in these files.
        QList<QByteArray> fields;
        qsizetype at = 0;
        while (fields.size() < 4 && at < all.size()) {
            while (at < all.size() && QChar::isSpace(uchar(all[at])))
                ++at;
            const qsizetype start = at;
            while (at < all.size() && !QChar::isSpace(uchar(all[at])))
                ++at;
            fields.append(all.mid(start, at - start));
        }
        if (fields.size() != 4 || fields[0] != "P6" || fields[3] != "255")
            return ppm;
        ppm.width = fields[1].toInt();
        ppm.height = fields[2].toInt();
        ppm.rgb = all.mid(at + 1);
        return ppm;
    }

    quint32 pixel(int x, int y) const
    {
        const auto *p = reinterpret_cast<const uchar *>(rgb.constData()) + 3 * (qint64(y) * width + x);
        return quint32(p[0]) << 16 | quint32(p[1]) << 8 | p[2];
    }
};

bool runScript(const QStringList &arguments, QString *output = nullptr)
{
    QProcess process;
    process.start(Python, QStringList{SamplesScript} + arguments);
    const bool done = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
    if (!done)
        qWarning("%s", process.readAllStandardError().constData());
    if (output)
        *output = QString::fromUtf8(process.readAllStandardOutput());
    return done;
}

// The first pixel that differs, or an empty text when all agree. With invert, each of our
// pixels must be the complement of theirs.
QString firstDifference(const QImage &ours, const Ppm &theirs, bool invert = false)
{
    if (ours.size() != QSize(theirs.width, theirs.height))
        return QStringLiteral("size %1x%2 against %3x%4")
            .arg(ours.width()).arg(ours.height()).arg(theirs.width).arg(theirs.height);
    if (theirs.rgb.size() < 3 * qint64(theirs.width) * theirs.height)
        return QStringLiteral("their decoding is cut short");
    for (int y = 0; y < ours.height(); ++y)
        for (int x = 0; x < ours.width(); ++x) {
            const quint32 mine = ours.pixel(x, y) & 0xFFFFFF;
            const quint32 expected = invert ? ~theirs.pixel(x, y) & 0xFFFFFF : theirs.pixel(x, y);
            if (mine != expected)
                return QStringLiteral("pixel (%1, %2): %3 against %4")
                    .arg(x).arg(y).arg(mine, 6, 16, QLatin1Char('0')).arg(expected, 6, 16, QLatin1Char('0'));
        }
    return QString();
}

// How our decoding must compare with each reference picture ("source": what the writer was
// given; "pillow", "magick": those programs' decodings of the same file). A reference in
// neither list must differ, so that the table says exactly what is known.
void compareWithReferences(const QImage &ours, const QString &base, const QStringList &agree,
                           const QStringList &inverted)
{
    for (const QString &reference : {QStringLiteral("source"), QStringLiteral("pillow"), QStringLiteral("magick")}) {
        const QString path = QStringLiteral("%1.%2.ppm").arg(base, reference);
        const bool refused = QFile::exists(QStringLiteral("%1.%2.err").arg(base, reference));
        if (!agree.contains(reference) && !inverted.contains(reference) && refused)
            continue;
        QVERIFY2(!refused, qPrintable(reference + QStringLiteral(" refused the file")));
        const QString same = firstDifference(ours, Ppm::read(path));
        const QString complement = firstDifference(ours, Ppm::read(path), true);
        if (agree.contains(reference))
            QVERIFY2(same.isEmpty(), qPrintable(reference + QStringLiteral(": ") + same));
        else if (inverted.contains(reference))
            QVERIFY2(complement.isEmpty(), qPrintable(reference + QStringLiteral(" inverted: ") + complement));
        else
            QVERIFY2(!same.isEmpty(), qPrintable(reference + QStringLiteral(" agrees now: update the table")));
    }
}

PcxPalette spread(int entries)
{
    PcxPalette palette;
    for (int i = 0; i < entries; ++i)
        palette.push_back(PcxColour{quint8(i * 255 / qMax(entries - 1, 1)), quint8((i * 97) & 0xFF), quint8(255 - i)});
    return palette;
}

int pattern(int x, int y)
{
    return int((quint32(x * 31) ^ quint32(y * 17) ^ (x / 4 == y ? 0xC8C8C8u : 0u)) * 0x010307u & 0xFFFFFFu);
}

} // namespace

class TestPcxCrossCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void theirFiles_data();
    void theirFiles();
    void ourFiles_data();
    void ourFiles();

private:
    QTemporaryDir m_dir;
};

void TestPcxCrossCheck::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("convert")).isEmpty() || !QFile::exists(Python))
        QSKIP("ImageMagick's convert or Python 3 is missing (scripts/install-deps installs them)");
    QVERIFY(m_dir.isValid());
    QVERIFY(runScript({QStringLiteral("make"), m_dir.path()}));
}

void TestPcxCrossCheck::theirFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<PcxFormatCode>("code");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QStringList>("agree");
    QTest::addColumn<QStringList>("inverted");

    const QStringList all{QStringLiteral("source"), QStringLiteral("pillow"), QStringLiteral("magick")};
    for (const char *size : {"37x11", "64x20", "3x2"}) {
        auto row = [size](const char *layout, PcxFormatCode code, int dpi, const QStringList &agree,
                          const QStringList &inverted = {}) {
            const QString name = QStringLiteral("%1-%2").arg(QLatin1String(layout), QLatin1String(size));
            QTest::newRow(qPrintable(name)) << name << code << dpi << agree << inverted;
        };
        // ImageMagick 6.9 reads and writes 1-bit PCX with bit 1 as black, against the header
        // palette it writes itself and against Pillow; its files round-trip in it alone.
        row("pillow-1", PcxFormatCode::OneBitPalette, 100, {QStringLiteral("source"), QStringLiteral("pillow")},
            {QStringLiteral("magick")});
        row("pillow-l", PcxFormatCode::EightBitPalette, 100, all);
        row("pillow-p", PcxFormatCode::EightBitPalette, 100, all);
        if (qstrcmp(size, "3x2") == 0) {
            // Pillow misplaces the values of its own three-plane files when they are this narrow.
            row("pillow-rgb", PcxFormatCode::TrueColour, 100, {QStringLiteral("source"), QStringLiteral("magick")});
        } else {
            row("pillow-rgb", PcxFormatCode::TrueColour, 100, all);
        }
        row("magick-1bit", PcxFormatCode::OneBitPalette, 0, {QStringLiteral("pillow")},
            {QStringLiteral("source"), QStringLiteral("magick")});
        row("magick-8bit16", PcxFormatCode::EightBitPalette, 0, all);
        row("magick-8bit256", PcxFormatCode::EightBitPalette, 0, all);
        row("magick-24bit", PcxFormatCode::TrueColour, 0, all);
        row("magick-24bit150dpi", PcxFormatCode::TrueColour, 150, all);
        // Four planes (colour and alpha) are recognised and never decoded.
        row("magick-32bit", PcxFormatCode::FourPlanes, 0, {});
    }
}

void TestPcxCrossCheck::theirFiles()
{
    QFETCH(QString, name);
    QFETCH(PcxFormatCode, code);
    QFETCH(int, dpi);
    QFETCH(QStringList, agree);
    QFETCH(QStringList, inverted);
    QFile file(m_dir.filePath(name + QStringLiteral(".pcx")));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const PcxDecodeResult result = PcxDecoder().decode(file);
    QCOMPARE(pcxFormatCodeValue(result.formatCode), pcxFormatCodeValue(code));
    if (code == PcxFormatCode::FourPlanes) {
        QCOMPARE(pcxErrorName(result.error), "FourPlanes");
        return;
    }
    QCOMPARE(pcxErrorName(result.error), "None");
    QCOMPARE(OpenedBmp::open(result.bmp).layout.xPixelsPerMetre, dpiToPixelsPerMetre(quint16(dpi)));
    // Qt's own BMP reader opens what we made: the bitmap the picture will hold.
    const QImage ours = QImage::fromData(result.bmp, "BMP");
    QVERIFY(!ours.isNull());
    compareWithReferences(ours, m_dir.filePath(name), agree, inverted);
}

void TestPcxCrossCheck::ourFiles_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QStringList>("agree");
    QTest::addColumn<QStringList>("inverted");

    const QString pillow = QStringLiteral("pillow");
    const QString magick = QStringLiteral("magick");
    for (QSize size : {QSize(37, 11), QSize(64, 20), QSize(3, 2), QSize(1, 1)}) {
        for (int bits : {1, 4, 8, 24}) {
            QStringList agree{pillow, magick};
            QStringList inverted;
            if (bits == 1) {
                agree = QStringList{pillow};
                inverted = QStringList{magick}; // bit 1 as black, see theirFiles
            } else if (bits == 4) {
                agree = QStringList{magick}; // Pillow has no reader for 4 bits in one plane
            } else if (bits == 24 && size.width() <= 3) {
                agree = QStringList{magick}; // Pillow's three-plane fault for narrow pictures
            }
            const QByteArray name = QByteArray::number(bits) + " bits, " + QByteArray::number(size.width()) + "x"
                + QByteArray::number(size.height());
            QTest::newRow(name.constData()) << bits << size.width() << size.height() << agree << inverted;
        }
    }
}

void TestPcxCrossCheck::ourFiles()
{
    QFETCH(int, bits);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QStringList, agree);
    QFETCH(QStringList, inverted);
    // 1-bit pictures are black and white: the one palette every 1-bit reader agrees on.
    const PcxPalette palette = bits == 1 ? greyPalette(2) : bits == 24 ? PcxPalette{} : spread(1 << bits);
    const QByteArray bmp = bmpFile(width, height, bits, palette, pattern);
    PcxError error = PcxError::None;
    const QByteArray pcx = PcxEncoder().encode(bmp, &error);
    QCOMPARE(pcxErrorName(error), "None");

    const QString name = QStringLiteral("ours-%1-%2x%3").arg(bits).arg(width).arg(height);
    QFile file(m_dir.filePath(name + QStringLiteral(".pcx")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(pcx), qint64(pcx.size()));
    file.close();
    QVERIFY(runScript({QStringLiteral("decode"), m_dir.path(), name}));

    const QImage source = QImage::fromData(bmp, "BMP");
    QVERIFY(!source.isNull());
    // The source is the bitmap itself here; only the two programs are compared.
    QVERIFY(source.save(m_dir.filePath(name + QStringLiteral(".source.ppm")), "PPM"));
    compareWithReferences(source, m_dir.filePath(name), agree + QStringList{QStringLiteral("source")}, inverted);
}

QTEST_GUILESS_MAIN(TestPcxCrossCheck)
#include "tst_pcxcrosscheck.moc"
