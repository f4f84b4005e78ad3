#include "picturetestdata.h"
#include "pictures/bitmappicture.h"
#include "pictures/gifpicture.h"
#include "pictures/imageframe.h"
#include "pictures/jpegpicture.h"
#include "pictures/pictureregistry.h"
#include "platform/errorguard.h"
#include "platform/scriptedmessageboxes.h"

#include <QtTest>

#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>

class TestImageFrame : public QObject
{
    Q_OBJECT

private:
    PictureRegistry m_registry;
    ScriptedMessageBoxes m_boxes;

    static std::unique_ptr<Picture> bitmap(QSize size, QRgb colour)
    {
        auto picture = std::make_unique<BitmapPicture>();
        picture->loadFromData(bmpOfSize(size.width(), size.height(), colour));
        return picture;
    }

    // The frame as a person sees it, over a known background.
    static QImage seen(ImageFrame &frame)
    {
        return frame.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

private Q_SLOTS:
    void initTestCase()
    {
        registerJpegFormats(m_registry, 24);
    }
    void init()
    {
        m_boxes.clear();
    }

    void echelle_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<bool>("stretched");
        QTest::addColumn<QPoint>("inside");
        QTest::addColumn<QPoint>("outside");
        QTest::newRow("1000x800 fills the box") << QSize(1000, 800) << true << QPoint(0, 0) << QPoint(-1, -1);
        QTest::newRow("100x100 centred") << QSize(100, 100) << false << QPoint(140, 107) << QPoint(89, 56);
        QTest::newRow("1000x100 centred, cut at the sides") << QSize(1000, 100) << false << QPoint(0, 57) << QPoint(0, 56);
    }
    void echelle()
    {
        QFETCH(QSize, picture);
        QFETCH(bool, stretched);
        QFETCH(QPoint, inside);
        QFETCH(QPoint, outside);
        ImageFrame frame(m_registry, m_boxes);
        frame.setCenter(true);
        frame.resize(280, 215);
        frame.setAutoFillBackground(true);
        frame.picture().setPicture(bitmap(picture, qRgb(255, 0, 0)));
        frame.setStretch(true); // Echelle switches it off first
        frame.Echelle();
        QCOMPARE(frame.stretch(), stretched);
        const QImage image = seen(frame);
        QCOMPARE(image.pixel(inside), qRgb(255, 0, 0));
        if (outside.x() >= 0)
            QVERIFY(image.pixel(outside) != qRgb(255, 0, 0));
    }

    void echelleFollowsTheBoxFinalSize()
    {
        // Fitted while the box still has a provisional size, as when a question is read before
        // the sheet is first laid out.
        ImageFrame frame(m_registry, m_boxes);
        frame.resize(2000, 2000);
        frame.picture().setPicture(bitmap(QSize(1000, 800), qRgb(255, 0, 0)));
        frame.Echelle();
        QVERIFY(!frame.stretch());
        frame.resize(280, 215);
        frame.show(); // a hidden widget hears of its new size when shown
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(frame.stretch());
        // A stretch chosen by the program stays whatever the size.
        frame.setStretch(false);
        frame.resize(281, 216);
        frame.resize(280, 215);
        QVERIFY(!frame.stretch());
    }

    void repaintDoesNotRescale()
    {
        ImageFrame frame(m_registry, m_boxes);
        frame.resize(280, 215);
        frame.picture().setPicture(bitmap(QSize(3000, 2400), qRgb(0, 0, 255)));
        frame.Echelle();
        seen(frame);
        seen(frame);
        seen(frame);
        QCOMPARE(frame.renderCount(), 1);
        frame.resize(200, 150);
        seen(frame);
        QCOMPARE(frame.renderCount(), 2);
        frame.picture().setPicture(bitmap(QSize(3000, 2400), qRgb(0, 255, 0)));
        QCOMPARE(seen(frame).pixel(10, 10), qRgb(0, 255, 0));
        QCOMPARE(frame.renderCount(), 3);
    }

    void damagedJpegIsReportedOnceOutsidePainting()
    {
        ImageFrame frame(m_registry, m_boxes);
        frame.resize(280, 215);
        frame.picture().loadFromFile(samplePath(QStringLiteral("damaged.jpg")));
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        seen(frame); // a paint event: it must not show the box itself
        QTRY_COMPARE(m_boxes.shown().size(), qsizetype(1));
        for (int i = 0; i < 5; ++i) {
            frame.repaint();
            QCoreApplication::processEvents();
        }
        QTest::qWait(50);
        QCOMPARE(m_boxes.shown().size(), qsizetype(1));
        QCOMPARE(m_boxes.shown().first().icon, MessageIcon::Stop);
        QCOMPARE(m_boxes.lastText(), standardErrorText(QStringLiteral("Erreur JPEG #%1").arg(JERR_NO_QUANT_TABLE)));
        const QImage image = seen(frame);
        QCOMPARE(image.pixel(140, 107), image.pixel(0, 0)); // nothing drawn over the background
    }

    void goodJpegIsDecodedBeforeItsFirstDrawing()
    {
        ImageFrame frame(m_registry, m_boxes);
        frame.resize(64, 48);
        frame.setStretch(true);
        frame.picture().loadFromFile(samplePath(QStringLiteral("colour.jpg")));
        auto *jpeg = qobject_cast<JpegPicture *>(frame.picture().picture());
        QVERIFY(jpeg);
        QCOMPARE(jpeg->decodeCount(), 0);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QTRY_COMPARE(frame.renderCount(), 1);
        QCOMPARE(jpeg->decodeCount(), 1);
        QCOMPARE(seen(frame).pixel(63, 47), jpeg->image().pixel(63, 47));
        QCOMPARE(m_boxes.shown().size(), qsizetype(0));
    }

    void animatedGifRepaintsItsFrames()
    {
        PictureRegistry registry;
        registerGifFormat(registry);
        ImageFrame frame(registry, m_boxes);
        frame.resize(20, 10);
        frame.picture().loadFromFile(samplePath(QStringLiteral("animated.gif")));
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QSet<QRgb> seen;
        QTRY_VERIFY_WITH_TIMEOUT((seen.insert(this->seen(frame).pixel(10, 5)), seen.size() >= 2), 3000);
        QVERIFY(frame.renderCount() >= 2);
    }

    void emptyFrameDrawsNothing()
    {
        ImageFrame frame(m_registry, m_boxes);
        frame.resize(50, 50);
        seen(frame);
        QCOMPARE(frame.renderCount(), 0);
        QCOMPARE(frame.pictureRect(), QRect(0, 0, 0, 0));
    }
};

QTEST_MAIN(TestImageFrame)
#include "tst_imageframe.moc"
