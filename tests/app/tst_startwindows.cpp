#include "app/aboutbox.h"
#include "app/desktopservices.h"
#include "app/splash.h"
#include "app/startup.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

class TestStartWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splashLooksAsDesigned();
    void splashTexts_data();
    void splashTexts();
    void aboutBox_data();
    void aboutBox();
    void aboutBoxClosesWithOkAndEscape_data();
    void aboutBoxClosesWithOkAndEscape();
    void commandLine_data();
    void commandLine();
    void programReadsEveryPictureKind_data();
    void programReadsEveryPictureKind();
};

void TestStartWindows::programReadsEveryPictureKind_data()
{
    QTest::addColumn<QString>("extension");
    for (const char *extension : {"bmp", "ico", "wmf", "emf", "jpg", "jpeg", "gif", "pcx"})
        QTest::newRow(extension) << QString::fromLatin1(extension);
}

void TestStartWindows::programReadsEveryPictureKind()
{
    QFETCH(QString, extension);
    DesktopServices services(24);
    QVERIFY(services.pictures.find(extension));
    QVERIFY(services.pictures.find(extension.toUpper()));
}

void TestStartWindows::splashLooksAsDesigned()
{
    TSplash splash;
    QCOMPARE(splash.size(), QSize(318, 221));
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    const QImage image = splash.grab().toImage();
    QCOMPARE(QColor(image.pixel(3, 3)), QColor(255, 255, 0));      // yellow ground
    QCOMPARE(QColor(image.pixel(160, 30)), QColor(128, 128, 0));    // olive panel
    auto *picture = splash.findChild<QLabel *>(QStringLiteral("Image1"));
    QVERIFY(picture);
    QCOMPARE(picture->size(), QSize(89, 113));
    QVERIFY(!picture->pixmap().isNull());
    QVERIFY(picture->x() < 318 / 2);
}

void TestStartWindows::splashTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pixels");
    QTest::newRow("product") << "ProductName" << "Nelo Qcm" << 23;
    QTest::newRow("version") << "Version" << "Version 2.0" << 15;
}

void TestStartWindows::splashTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(int, pixels);
    TSplash splash;
    auto *label = splash.findChild<QLabel *>(name);
    QVERIFY(label);
    QCOMPARE(label->text(), text);
    QVERIFY(label->font().bold());
    QCOMPARE(label->font().pixelSize(), pixels);
    QVERIFY(label->x() > 318 / 3);
    // Nothing cut: the text fits its label.
    QVERIFY(QFontMetrics(label->font()).horizontalAdvance(text) <= label->width());
}

void TestStartWindows::aboutBox_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("product") << "ProductName" << "Nelo Qcm";
    QTest::newRow("version") << "Version" << "Version 2.0";
    QTest::newRow("comments") << "Comments" << "Générateur de questionnaires à choix multiples.";
}

void TestStartWindows::aboutBox()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    TAboutBox box;
    QCOMPARE(box.windowTitle(), QStringLiteral("A propos"));
    QCOMPARE(box.size(), QSize(329, 218));
    auto *label = box.findChild<QLabel *>(name);
    QVERIFY(label);
    QCOMPARE(label->text(), text);
    QCOMPARE(label->font().bold(), name == QLatin1String("ProductName"));
    auto *icon = box.findChild<QLabel *>(QStringLiteral("ProgramIcon"));
    QVERIFY(icon);
    box.show();
    QVERIFY(!icon->pixmap().isNull());
    QCOMPARE(icon->pixmap().deviceIndependentSize(), QSizeF(64, 64));
    QCOMPARE(box.OKButton->text(), QStringLiteral("OK"));
    QVERIFY(box.OKButton->isDefault());
}

void TestStartWindows::aboutBoxClosesWithOkAndEscape_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter presses OK") << int(Qt::Key_Return);
    QTest::newRow("Escape closes too") << int(Qt::Key_Escape);
}

void TestStartWindows::aboutBoxClosesWithOkAndEscape()
{
    QFETCH(int, key);
    TAboutBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QTest::keyClick(&box, Qt::Key(key));
    QVERIFY(!box.isVisible());
}

void TestStartWindows::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("questionnaire");
    QTest::addColumn<bool>("quitWhenShown");
    QTest::newRow("nothing") << QStringList{"nelo-qcm"} << "" << false;
    QTest::newRow("a questionnaire") << QStringList{"nelo-qcm", "capitales.qcm"} << "capitales.qcm" << false;
    QTest::newRow("measurement") << QStringList{"nelo-qcm", "--quit-when-shown"} << "" << true;
}

void TestStartWindows::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, questionnaire);
    QFETCH(bool, quitWhenShown);
    const StartupOptions options = parseCommandLine(arguments);
    QCOMPARE(options.questionnaire, questionnaire);
    QCOMPARE(options.quitWhenShown, quitWhenShown);
}

QTEST_MAIN(TestStartWindows)
#include "tst_startwindows.moc"
