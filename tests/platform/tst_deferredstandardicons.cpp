#include "platform/deferredstandardicons.h"

#include <QFile>
#include <QMenuBar>
#include <QStyleOption>
#include <QStyleFactory>
#include <QtTest>

#include <memory>

namespace {

bool imagePluginMapped()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/imageformats/");
}

} // namespace

class TestDeferredStandardIcons : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // First, while nothing in this process has read a picture.
    void askingLoadsNoImagePlugin()
    {
#ifndef Q_OS_LINUX
        QSKIP("the mapped libraries are read from /proc");
#endif
        QApplication::setStyle(new DeferredStandardIconsStyle(QStringLiteral("Fusion")));
        // A menu bar asks for the picture of its hidden "»" button when it is made.
        QMenuBar bar;
        const QIcon icon = bar.style()->standardIcon(QStyle::SP_MessageBoxWarning);
        QVERIFY(!imagePluginMapped());
        QVERIFY(!icon.pixmap(32, 32).isNull());
    }

    void sameIconsAsTheStyle_data()
    {
        QTest::addColumn<QStyle::StandardPixmap>("which");
        QTest::addColumn<Qt::LayoutDirection>("direction");
        QTest::newRow("menu bar extension") << QStyle::SP_ToolBarHorizontalExtensionButton << Qt::LeftToRight;
        QTest::newRow("extension, right to left") << QStyle::SP_ToolBarHorizontalExtensionButton << Qt::RightToLeft;
        QTest::newRow("frame's close button") << QStyle::SP_TitleBarCloseButton << Qt::LeftToRight;
        QTest::newRow("warning") << QStyle::SP_MessageBoxWarning << Qt::LeftToRight;
        QTest::newRow("back arrow, right to left") << QStyle::SP_ArrowBack << Qt::RightToLeft;
    }

    void sameIconsAsTheStyle()
    {
        QFETCH(QStyle::StandardPixmap, which);
        QFETCH(Qt::LayoutDirection, direction);
        DeferredStandardIconsStyle deferred(QStringLiteral("Fusion"));
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        QStyleOption option;
        option.direction = direction;
        const QIcon asked = deferred.standardIcon(which, &option);
        const QIcon expected = fusion->standardIcon(which, &option);
        QCOMPARE(asked.isNull(), expected.isNull());
        QCOMPARE(asked.availableSizes(), expected.availableSizes());
        for (int side : {16, 32}) {
            QCOMPARE(asked.actualSize(QSize(side, side)), expected.actualSize(QSize(side, side)));
            QCOMPARE(asked.pixmap(side, side).toImage(), expected.pixmap(side, side).toImage());
            const QPixmap sharp = asked.pixmap(QSize(side, side), 2.0);
            QCOMPARE(sharp.toImage(), expected.pixmap(QSize(side, side), 2.0).toImage());
            QCOMPARE(sharp.devicePixelRatio(), expected.pixmap(QSize(side, side), 2.0).devicePixelRatio());
        }
    }

    void iconOutlivingItsStyleIsEmpty()
    {
        auto style = std::make_unique<DeferredStandardIconsStyle>(QStringLiteral("Fusion"));
        const QIcon icon = style->standardIcon(QStyle::SP_DialogOkButton);
        style.reset();
        QVERIFY(icon.isNull());
        QVERIFY(icon.pixmap(16, 16).isNull());
    }
};

QTEST_MAIN(TestDeferredStandardIcons)
#include "tst_deferredstandardicons.moc"
