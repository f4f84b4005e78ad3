#include "picturetestdata.h"
#include "pictures/jpegdecoder.h"
#include "pictures/jpegpicture.h"
#include "platform/apperror.h"

#include <QMimeData>
#include <QPainter>
#include <QtTest>

#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>

#include <set>

namespace {

int distinctColours(const QImage &image)
{
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return int(colours.size());
}

// The same file with other dimensions written into its frame header.
QByteArray withDimensions(QByteArray bytes, int width, int height)
{
    const qsizetype sof = bytes.indexOf("\xff\xc0");
    bytes[sof + 5] = char(height >> 8);
    bytes[sof + 6] = char(height & 0xff);
    bytes[sof + 7] = char(width >> 8);
    bytes[sof + 8] = char(width & 0xff);
    return bytes;
}

QString jpegError(int code)
{
    return QStringLiteral("Erreur JPEG #%1").arg(code);
}

} // namespace

class TestJpegPicture : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loadReadsTheHeaderOnly()
    {
        JpegPicture picture(24);
        picture.loadFromData(sampleBytes(QStringLiteral("colour.jpg")));
        QCOMPARE(picture.width(), 64);
        QCOMPARE(picture.height(), 48);
        QVERIFY(!picture.header().grey);
        QVERIFY(!picture.header().multipleScans);
        QCOMPARE(picture.decodeCount(), 0);
        QVERIFY(picture.image().isNull());
        QVERIFY(picture.needsPreparation());
    }

    void header_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<bool>("grey");
        QTest::addColumn<bool>("multipleScans");
        QTest::newRow("baseline colour") << "colour.jpg" << false << false;
        QTest::newRow("grey") << "grey.jpg" << true << false;
        QTest::newRow("progressive") << "progressive.jpg" << false << true;
    }
    void header()
    {
        QFETCH(QString, sample);
        QFETCH(bool, grey);
        QFETCH(bool, multipleScans);
        JpegHeader header;
        QVERIFY(readJpegHeader(sampleBytes(sample), header).ok());
        QCOMPARE(header.grey, grey);
        QCOMPARE(header.multipleScans, multipleScans);
        QCOMPARE(QSize(header.width, header.height), QSize(64, 48));
    }

    void decodesOnceForEveryDrawing()
    {
        JpegPicture picture(24);
        picture.loadFromData(sampleBytes(QStringLiteral("colour.jpg")));
        picture.prepare();
        QImage canvas(64, 48, QImage::Format_RGB32);
        QPainter painter(&canvas);
        picture.draw(painter, QRectF(0, 0, 64, 48));
        picture.prepare();
        picture.draw(painter, QRectF(0, 0, 32, 24));
        painter.end();
        QCOMPARE(picture.decodeCount(), 1);
        QVERIFY(!picture.needsPreparation());
        QCOMPARE(picture.image().size(), QSize(64, 48));
    }

    void damagedDataFailsOnceAtFirstPreparation()
    {
        JpegPicture picture(24);
        picture.loadFromData(sampleBytes(QStringLiteral("damaged.jpg")));
        QVERIFY(picture.needsPreparation());
        try {
            picture.prepare();
            QFAIL("damaged data decoded");
        } catch (const AppError &error) {
            QCOMPARE(error.message(), jpegError(JERR_NO_QUANT_TABLE));
        }
        QVERIFY(!picture.needsPreparation());
        picture.prepare(); // reported once: no second throw
        QCOMPARE(picture.decodeCount(), 1);
        QImage canvas(64, 48, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        picture.draw(painter, QRectF(0, 0, 64, 48));
        painter.end();
        QCOMPARE(distinctColours(canvas), 1); // nothing drawn
    }

    void outputFormat_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<int>("screenDepth");
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("quantised");
        QTest::newRow("colour, true-colour screen") << "colour.jpg" << 24 << int(QImage::Format_RGB888) << false;
        QTest::newRow("colour, 32-bit screen") << "colour.jpg" << 32 << int(QImage::Format_RGB888) << false;
        QTest::newRow("colour, 16-bit screen") << "colour.jpg" << 16 << int(QImage::Format_RGB888) << false;
        QTest::newRow("colour, 256 colours") << "colour.jpg" << 8 << int(QImage::Format_Indexed8) << true;
        QTest::newRow("colour, 16 colours") << "colour.jpg" << 4 << int(QImage::Format_Indexed8) << true;
        QTest::newRow("progressive, 256 colours") << "progressive.jpg" << 8 << int(QImage::Format_Indexed8) << true;
        QTest::newRow("grey, true-colour screen") << "grey.jpg" << 24 << int(QImage::Format_Indexed8) << true;
        QTest::newRow("grey, 256 colours") << "grey.jpg" << 8 << int(QImage::Format_Indexed8) << true;
    }
    void outputFormat()
    {
        QFETCH(QString, sample);
        QFETCH(int, screenDepth);
        QFETCH(int, format);
        QFETCH(bool, quantised);
        JpegPicture picture(screenDepth);
        picture.loadFromData(sampleBytes(sample));
        picture.prepare();
        QCOMPARE(int(picture.image().format()), format);
        const int colours = distinctColours(picture.image());
        if (quantised) {
            QVERIFY2(colours <= JpegQuantisedColours, qPrintable(QString::number(colours)));
            QVERIFY(picture.image().colorCount() <= JpegQuantisedColours);
        } else {
            // The sample has far more colours than the quantised path keeps.
            QVERIFY2(colours > JpegQuantisedColours, qPrintable(QString::number(colours)));
        }
    }

    void greyDecodesGrey()
    {
        JpegPicture picture(24);
        picture.loadFromData(sampleBytes(QStringLiteral("grey.jpg")));
        picture.prepare();
        QVERIFY(picture.image().allGray());
        QVERIFY(distinctColours(picture.image()) > 16); // shades, not a posterised picture

        JpegPicture colour(24);
        colour.loadFromData(sampleBytes(QStringLiteral("colour.jpg")));
        colour.prepare();
        QVERIFY(!colour.image().allGray());
    }

    void quantisedColoursStayClose()
    {
        JpegPicture full(24);
        JpegPicture quantised(8);
        full.loadFromData(sampleBytes(QStringLiteral("colour.jpg")));
        quantised.loadFromData(sampleBytes(QStringLiteral("colour.jpg")));
        full.prepare();
        quantised.prepare();
        qint64 difference = 0;
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 64; ++x) {
                const QRgb a = full.image().pixel(x, y);
                const QRgb b = quantised.image().pixel(x, y);
                difference += qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b));
            }
        }
        // Dithering spreads the error; on average a pixel stays within a few levels.
        QVERIFY2(difference / (64 * 48) < 40, qPrintable(QString::number(difference / (64 * 48))));
    }

    void truncatedDataStillDraws()
    {
        // Data that ends early is a warning in libjpeg: the rest is filled, no error.
        const QByteArray bytes = sampleBytes(QStringLiteral("colour.jpg"));
        JpegPicture picture(24);
        picture.loadFromData(bytes.left(bytes.size() - 300));
        picture.prepare();
        QCOMPARE(picture.image().size(), QSize(64, 48));
    }

    void hugeHeaderIsRefusedBeforeAllocating()
    {
        JpegPicture picture(24);
        picture.loadFromData(withDimensions(sampleBytes(QStringLiteral("colour.jpg")), 65000, 65000));
        QCOMPARE(picture.width(), 65000);
        QVERIFY_THROWS_EXCEPTION(AppError, picture.prepare());
        QVERIFY(picture.image().isNull());

        QImage image;
        const JpegStatus status = decodeJpeg(withDimensions(sampleBytes(QStringLiteral("colour.jpg")), 65000, 65000),
                                             JpegDecodeOptions(), image);
        QCOMPARE(int(status.error), int(JpegError::TooLarge));
        QCOMPARE(status.messageCode, int(JERR_OUT_OF_MEMORY));
    }
};

QTEST_MAIN(TestJpegPicture)
#include "tst_jpegpicture.moc"
