#include "picturetestdata.h"
#include "pictures/gifheader.h"
#include "pictures/gifpicture.h"
#include "platform/apperror.h"

#include <QMimeData>
#include <QPainter>
#include <QtTest>

class TestGifPicture : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void header_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("error");
        QTest::addColumn<QSize>("screen");
        QTest::newRow("empty") << QByteArray() << int(GifHeaderError::BadSignature) << QSize();
        QTest::newRow("lower-case signature") << QByteArray("gif89a\x02\x00\x03\x00\x00\x00\x00", 13)
                                              << int(GifHeaderError::BadSignature) << QSize();
        QTest::newRow("signature only") << QByteArray("GIF") << int(GifHeaderError::BadVersion) << QSize();
        QTest::newRow("version 90a") << QByteArray("GIF90a\x02\x00\x03\x00\x00\x00\x00", 13)
                                     << int(GifHeaderError::BadVersion) << QSize();
        QTest::newRow("no screen descriptor") << QByteArray("GIF87a") << int(GifHeaderError::Truncated) << QSize();
        QTest::newRow("screen descriptor cut") << QByteArray("GIF89a\x02\x00\x03\x00\x00\x00", 12)
                                               << int(GifHeaderError::Truncated) << QSize();
        QTest::newRow("87a") << QByteArray("GIF87a\x02\x01\x03\x00\x80\x00\x00", 13)
                             << int(GifHeaderError::None) << QSize(258, 3);
        QTest::newRow("89a") << QByteArray("GIF89a\xff\xff\x01\x00\x00\x00\x00", 13)
                             << int(GifHeaderError::None) << QSize(65535, 1);
    }
    void header()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, error);
        QFETCH(QSize, screen);
        GifHeader header;
        QCOMPARE(int(readGifHeader(bytes, header)), error);
        if (error == int(GifHeaderError::None))
            QCOMPARE(header.screenSize, screen);
    }

    void stillPictureIsDrawnDirectly()
    {
        GifPicture picture;
        picture.loadFromData(sampleBytes(QStringLiteral("still.gif")));
        QCOMPARE(picture.frameCount(), 1);
        QImage canvas(24, 16, QImage::Format_ARGB32);
        canvas.fill(Qt::green);
        QPainter painter(&canvas);
        picture.draw(painter, QRectF(0, 0, 24, 16));
        painter.end();
        QVERIFY(!picture.isAnimationRunning());
        // Index 0 is transparent: the green behind shows; the rectangle is blue.
        QCOMPARE(canvas.pixel(0, 0), QColor(Qt::green).rgba());
        QCOMPARE(canvas.pixel(10, 8), qRgb(0, 0, 255));
    }

    void animationAdvancesFromTheFirstDrawing()
    {
        GifPicture picture;
        picture.loadFromData(sampleBytes(QStringLiteral("animated.gif")));
        QCOMPARE(picture.frameCount(), 3);
        QVERIFY(picture.isAnimated());
        QVERIFY(!picture.isAnimationRunning());
        QSignalSpy changes(&picture, &Picture::changed);
        QImage canvas(20, 10, QImage::Format_ARGB32);
        QPainter painter(&canvas);
        picture.draw(painter, QRectF(0, 0, 20, 10));
        painter.end();
        QVERIFY(picture.isAnimationRunning());
        // Frames 1 and 2 fill the rectangle blue then red.
        QSet<QRgb> seen;
        QTRY_VERIFY_WITH_TIMEOUT((seen.insert(picture.currentFrame().pixel(10, 5)), seen.size() >= 2), 3000);
        QVERIFY(changes.count() >= 2);
        QVERIFY(seen.contains(qRgb(0, 0, 255)));
        QVERIFY(seen.contains(qRgb(255, 0, 0)));
    }

    void setSizeChangesTheDrawingSize()
    {
        GifPicture picture;
        picture.loadFromData(sampleBytes(QStringLiteral("still.gif")));
        QSignalSpy changes(&picture, &Picture::changed);
        picture.setSize(48, 32);
        QCOMPARE(QSize(picture.width(), picture.height()), QSize(48, 32));
        QCOMPARE(changes.count(), 1);
    }

    void failedLoadKeepsNothingHalfMade()
    {
        GifPicture picture;
        picture.loadFromData(sampleBytes(QStringLiteral("still.gif")));
        QVERIFY_THROWS_EXCEPTION(AppError, picture.loadFromData(QByteArray("GIF89a\x01\x00", 8)));
        QCOMPARE(picture.width(), 24);
    }
};

QTEST_MAIN(TestGifPicture)
#include "tst_gifpicture.moc"
