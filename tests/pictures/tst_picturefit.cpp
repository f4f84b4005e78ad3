#include "pictures/picturefit.h"

#include <QtTest>

class TestPictureFit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void echelle_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<bool>("stretched");
        QTest::addColumn<QRect>("drawn");
        // The question sheet's picture box is 280 by 215.
        QTest::newRow("1000x800 larger both ways") << QSize(1000, 800) << true << QRect(0, 0, 280, 215);
        QTest::newRow("100x100 smaller") << QSize(100, 100) << false << QRect(90, 57, 100, 100);
        QTest::newRow("1000x100 wider only, cut at the sides") << QSize(1000, 100) << false << QRect(-360, 57, 1000, 100);
        QTest::newRow("100x1000 higher only, cut above and below") << QSize(100, 1000) << false << QRect(90, -392, 100, 1000);
        QTest::newRow("one pixel larger both ways") << QSize(281, 216) << true << QRect(0, 0, 280, 215);
        QTest::newRow("same width, higher") << QSize(280, 216) << false << QRect(0, 0, 280, 216);
        QTest::newRow("exactly the box") << QSize(280, 215) << false << QRect(0, 0, 280, 215);
        QTest::newRow("odd difference") << QSize(279, 214) << false << QRect(0, 0, 279, 214);
        QTest::newRow("empty picture") << QSize(0, 0) << false << QRect(140, 107, 0, 0);
    }
    void echelle()
    {
        QFETCH(QSize, picture);
        QFETCH(bool, stretched);
        QFETCH(QRect, drawn);
        const QSize box(280, 215);
        QCOMPARE(echelleStretches(box, picture), stretched);
        QCOMPARE(pictureRectInBox(box, picture, stretched, true), drawn);
    }

    void notCentred()
    {
        QCOMPARE(pictureRectInBox(QSize(280, 215), QSize(100, 50), false, false), QRect(0, 0, 100, 50));
    }

    void preview_data()
    {
        QTest::addColumn<QSize>("pane");
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QRect>("drawn");
        QTest::newRow("fits: centred at its own size") << QSize(150, 150) << QSize(100, 50) << QRect(25, 50, 100, 50);
        QTest::newRow("just fits") << QSize(150, 150) << QSize(150, 150) << QRect(0, 0, 150, 150);
        QTest::newRow("wider than high: to the pane's width") << QSize(150, 150) << QSize(300, 150) << QRect(0, 0, 150, 75);
        QTest::newRow("higher than wide: to the pane's height") << QSize(150, 150) << QSize(150, 300) << QRect(0, 0, 75, 150);
        QTest::newRow("square: to the pane's height") << QSize(200, 150) << QSize(300, 300) << QRect(0, 0, 150, 150);
        QTest::newRow("wide in a low pane: cut below") << QSize(150, 50) << QSize(300, 200) << QRect(0, 0, 150, 100);
        QTest::newRow("thin line keeps one pixel") << QSize(150, 150) << QSize(30000, 1) << QRect(0, 0, 150, 1);
        QTest::newRow("huge sides do not overflow") << QSize(150, 150) << QSize(2000000000, 1900000000) << QRect(0, 0, 150, 142);
        QTest::newRow("empty picture") << QSize(150, 150) << QSize(0, 0) << QRect();
    }
    void preview()
    {
        QFETCH(QSize, pane);
        QFETCH(QSize, picture);
        QFETCH(QRect, drawn);
        QCOMPARE(previewRect(pane, picture), drawn);
    }
};

QTEST_GUILESS_MAIN(TestPictureFit)
#include "tst_picturefit.moc"
