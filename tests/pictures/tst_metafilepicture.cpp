#include "picturetestdata.h"
#include "pictures/metafileconverter.h"
#include "pictures/metafilepicture.h"
#include "platform/apperror.h"

#include <QtEndian>
#include <QMimeData>
#include <QPainter>
#include <QtTest>

namespace {

QByteArray patched32(QByteArray bytes, int offset, qint32 value)
{
    qToLittleEndian<qint32>(value, bytes.data() + offset);
    return bytes;
}

QByteArray patched16(QByteArray bytes, int offset, qint16 value)
{
    qToLittleEndian<qint16>(value, bytes.data() + offset);
    return bytes;
}

QImage rendered(MetafilePicture &picture)
{
    QImage canvas(picture.width(), picture.height(), QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    picture.draw(painter, QRectF(0, 0, picture.width(), picture.height()));
    painter.end();
    return canvas;
}

} // namespace

Q_DECLARE_METATYPE(MetafileIsolation)

class TestMetafilePicture : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void header_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("error");
        QTest::addColumn<QSize>("size");
        const QByteArray wmf = sampleBytes(QStringLiteral("drawing.wmf"));
        const QByteArray emf = sampleBytes(QStringLiteral("drawing.emf"));
        QTest::newRow("placeable wmf") << wmf << int(MetafileError::None) << QSize(192, 96);
        QTest::newRow("emf") << emf << int(MetafileError::None) << QSize(192, 96);
        QTest::newRow("empty") << QByteArray() << int(MetafileError::NotAMetafile) << QSize();
        QTest::newRow("bitmap") << sampleBytes(QStringLiteral("bitmap.bmp")) << int(MetafileError::NotAMetafile) << QSize();
        QTest::newRow("wmf without placeable header") << wmf.mid(22) << int(MetafileError::NotAMetafile) << QSize();
        QTest::newRow("wmf cut in its header") << wmf.left(30) << int(MetafileError::BadHeader) << QSize();
        QTest::newRow("wmf with zero units per inch") << patched16(wmf, 14, 0) << int(MetafileError::BadHeader) << QSize();
        QTest::newRow("wmf of zero width") << patched16(wmf, 10, 0) << int(MetafileError::BadHeader) << QSize();
        QTest::newRow("wmf with reversed box") << patched16(patched16(wmf, 6, 2880), 10, 0)
                                               << int(MetafileError::None) << QSize(192, 96);
        QTest::newRow("emf cut in its header") << emf.left(60) << int(MetafileError::BadHeader) << QSize();
        QTest::newRow("emf wrong signature") << patched32(emf, 40, 0x12345678) << int(MetafileError::NotAMetafile) << QSize();
        QTest::newRow("emf empty frame takes the bounds") << patched32(emf, 32, 0) << int(MetafileError::None) << QSize(192, 96);
        QTest::newRow("emf of huge frame") << patched32(emf, 32, 0x7fffffff) << int(MetafileError::BadHeader) << QSize();
        QTest::newRow("emf with nothing usable")
            << patched32(patched32(emf, 32, 0), 16, -5) << int(MetafileError::BadHeader) << QSize();
    }
    void header()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, error);
        QFETCH(QSize, size);
        MetafileHeader header;
        QCOMPARE(int(readMetafileHeader(bytes, header)), error);
        if (error == int(MetafileError::None))
            QCOMPARE(header.size, size);
    }

    void drawsItsVectors_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<MetafileIsolation>("isolation");
        QTest::addColumn<QColor>("fill");
        QTest::newRow("wmf in a child process") << "drawing.wmf" << MetafileIsolation::ChildProcess << QColor(Qt::red);
        QTest::newRow("wmf in process") << "drawing.wmf" << MetafileIsolation::InProcess << QColor(Qt::red);
        QTest::newRow("emf in a child process") << "drawing.emf" << MetafileIsolation::ChildProcess << QColor(Qt::green);
        QTest::newRow("emf in process") << "drawing.emf" << MetafileIsolation::InProcess << QColor(Qt::green);
    }
    void drawsItsVectors()
    {
        QFETCH(QString, sample);
        QFETCH(MetafileIsolation, isolation);
        QFETCH(QColor, fill);
        MetafilePicture picture(isolation);
        picture.loadFromData(sampleBytes(sample));
        QCOMPARE(QSize(picture.width(), picture.height()), QSize(192, 96));
        const QImage canvas = rendered(picture);
        // The brush fills the rectangle and the ellipse; the corners stay white.
        QCOMPARE(QColor(canvas.pixel(96, 48)), fill);
        QCOMPARE(QColor(canvas.pixel(0, 0)), QColor(Qt::white));
    }

    void childProcessGivesTheSameDrawing()
    {
        for (const QString &sample : {QStringLiteral("drawing.wmf"), QStringLiteral("drawing.emf")}) {
            QByteArray inChild;
            QByteArray inProcess;
            QCOMPARE(int(convertMetafileToSvg(sampleBytes(sample), inChild, MetafileIsolation::ChildProcess)),
                     int(MetafileError::None));
            QCOMPARE(int(convertMetafileToSvg(sampleBytes(sample), inProcess, MetafileIsolation::InProcess)),
                     int(MetafileError::None));
            QCOMPARE(inChild, inProcess);
        }
    }

    void drawsScaledToTheTarget()
    {
        MetafilePicture picture;
        picture.loadFromData(sampleBytes(QStringLiteral("drawing.wmf")));
        QImage canvas(96, 48, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        picture.draw(painter, QRectF(0, 0, 96, 48));
        painter.end();
        QCOMPARE(QColor(canvas.pixel(48, 24)), QColor(Qt::red));
        QCOMPARE(QColor(canvas.pixel(1, 1)), QColor(Qt::white));
    }

    void refusedContent_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray wmf = sampleBytes(QStringLiteral("drawing.wmf"));
        QTest::newRow("bitmap") << sampleBytes(QStringLiteral("bitmap.bmp"));
        QTest::newRow("text") << QByteArray("pas une image");
        QTest::newRow("wmf header only") << wmf.left(22);
        QTest::newRow("emf with reversed bounds") << patched32(patched32(sampleBytes(QStringLiteral("drawing.emf")), 32, 0), 16, -5);
    }
    void refusedContent()
    {
        QFETCH(QByteArray, bytes);
        MetafilePicture picture;
        try {
            picture.loadFromData(bytes);
            QFAIL("loaded");
        } catch (const AppError &error) {
            QCOMPARE(error.message(), QStringLiteral("MetaFichier incorrect"));
        }
    }

    void refusedRecords_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray emf = sampleBytes(QStringLiteral("drawing.emf"));
        QTest::newRow("record larger than the file") << patched32(emf, 88 + 4, 0x7ffffff0);
        QTest::newRow("record of zero size") << patched32(emf, 88 + 4, 0);
        QTest::newRow("record size not a multiple of 4") << patched32(emf, 88 + 4, 26);
        QTest::newRow("cut in the middle of a record") << emf.left(100);
        QTest::newRow("no end-of-file record") << emf.left(emf.size() - 20);
        QTest::newRow("second header record") << patched32(emf, 88, 1);
    }
    void refusedRecords()
    {
        QFETCH(QByteArray, bytes);
        QByteArray svg;
        QCOMPARE(int(convertMetafileToSvg(bytes, svg, MetafileIsolation::InProcess)), int(MetafileError::BadRecords));
        QVERIFY(svg.isEmpty());
    }

    void bytesAfterTheEndOfFileRecordAreIgnored()
    {
        const QByteArray emf = sampleBytes(QStringLiteral("drawing.emf"));
        QByteArray clean;
        QByteArray padded;
        QCOMPARE(int(convertMetafileToSvg(emf, clean, MetafileIsolation::InProcess)), int(MetafileError::None));
        // A header claiming a much larger file, and bytes that are no record at all.
        const QByteArray longer = patched32(emf, 48, 0x7ffffff0) + QByteArray(64, '\xff');
        QCOMPARE(int(convertMetafileToSvg(longer, padded, MetafileIsolation::InProcess)), int(MetafileError::None));
        QCOMPARE(padded, clean);
    }

    void descriptionIsNeverRead()
    {
        // Found by fuzzing: a header naming a description without a length made libemf2svg read
        // past the end of the file. The description is dropped, the drawing itself is fine.
        MetafilePicture picture(MetafileIsolation::InProcess);
        picture.loadFromData(sampleBytes(QStringLiteral("crashes/emf-description-beyond-file.emf")));
        QCOMPARE(QSize(picture.width(), picture.height()), QSize(192, 96));
        QVERIFY(QColor(rendered(picture).pixel(96, 48)) != QColor(Qt::white)); // its fill is drawn
    }

    void clipboardHoldsVectorsAndBitmap()
    {
        MetafilePicture picture;
        picture.loadFromData(sampleBytes(QStringLiteral("drawing.emf")));
        std::unique_ptr<QMimeData> data(picture.toMimeData());
        QVERIFY(data->hasFormat(QStringLiteral("image/svg+xml")));
        QCOMPARE(data->data(QStringLiteral("image/svg+xml")), picture.svg());
        const QImage image = qvariant_cast<QImage>(data->imageData());
        QCOMPARE(image.size(), QSize(192, 96));
        QCOMPARE(QColor(image.pixel(96, 48)), QColor(Qt::green));
    }
};

QTEST_MAIN(TestMetafilePicture)
#include "tst_metafilepicture.moc"
