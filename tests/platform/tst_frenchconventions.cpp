#include "platform/desktopconventions.h"
#include "platform/frenchconventions.h"

#include <QApplication>
#include <QFontInfo>
#include <QTime>
#include <QtTest>

class TestFrenchConventions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void locale_data();
    void locale();
    void longTime_data();
    void longTime();
    void defaultLocaleIsFrench();
    void fontSubstitutes_data();
    void fontSubstitutes();
    void designFontFamilies_data();
    void designFontFamilies();
};

void TestFrenchConventions::locale_data()
{
    QTest::addColumn<QString>("system");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("France kept") << "fr_FR" << "fr_FR";
    QTest::newRow("Belgium kept") << "fr_BE" << "fr_BE";
    QTest::newRow("Canada kept") << "fr_CA" << "fr_CA";
    QTest::newRow("English becomes France") << "en_US" << "fr_FR";
    QTest::newRow("German becomes France") << "de_DE" << "fr_FR";
    QTest::newRow("C becomes France") << "C" << "fr_FR";
}

void TestFrenchConventions::locale()
{
    QFETCH(QString, system);
    QFETCH(QString, chosen);
    QCOMPARE(frenchLocale(QLocale(system)).name(), chosen);
}

void TestFrenchConventions::longTime_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("text");
    QTest::newRow("morning") << "fr_FR" << QTime(9, 5, 7) << "09:05:07";
    QTest::newRow("afternoon") << "fr_FR" << QTime(14, 3, 9) << "14:03:09";
    QTest::newRow("midnight") << "fr_FR" << QTime(0, 0, 0) << "00:00:00";
}

void TestFrenchConventions::longTime()
{
    QFETCH(QString, locale);
    QFETCH(QTime, time);
    QFETCH(QString, text);
    QCOMPARE(longTimeText(QLocale(locale), time), text);
    QVERIFY(!longTimeFormat(QLocale(locale)).contains(QLatin1Char('t')));
}

void TestFrenchConventions::defaultLocaleIsFrench()
{
    applyDesktopConventions();
    QCOMPARE(QLocale().language(), QLocale::French);
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
}

void TestFrenchConventions::fontSubstitutes_data()
{
    QTest::addColumn<QString>("family");
    QTest::newRow("Arial") << "Arial";
    QTest::newRow("MS Sans Serif") << "MS Sans Serif";
}

void TestFrenchConventions::fontSubstitutes()
{
    QFETCH(QString, family);
    installFontSubstitutes();
    installFontSubstitutes(); // twice: the stand-in is listed once
    const QStringList substitutes = QFont::substitutes(family);
    QCOMPARE(substitutes.filter(QStringLiteral("Liberation Sans"), Qt::CaseInsensitive).size(), 1);
    QCOMPARE(QFontInfo(QFont(family)).family(), QStringLiteral("Liberation Sans"));
}

void TestFrenchConventions::designFontFamilies_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("asked");
    QTest::newRow("Arial") << "Arial" << "Liberation Sans";
    QTest::newRow("MS Sans Serif") << "MS Sans Serif" << "Liberation Sans";
    QTest::newRow("any case") << "arial" << "Liberation Sans";
    QTest::newRow("an installed family stays") << "Liberation Mono" << "Liberation Mono";
    QTest::newRow("another missing one too") << "Tahoma" << "Tahoma";
}

void TestFrenchConventions::designFontFamilies()
{
    QFETCH(QString, family);
    QFETCH(QString, asked);
    if (QFontInfo(QFont(QStringLiteral("Arial"))).family() == QStringLiteral("Arial"))
        QSKIP("Arial is installed here");
    QCOMPARE(designFontFamily(family), asked);
    // The font drawn is the one the substitutes gave.
    installFontSubstitutes();
    const QFont font = designFont(family, 16, true, true);
    QCOMPARE(QFontInfo(font).family(), QFontInfo(QFont(family)).family());
    QCOMPARE(font.pixelSize(), 16);
    QVERIFY(font.bold() && font.italic());
}

QTEST_MAIN(TestFrenchConventions)
#include "tst_frenchconventions.moc"
