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

QTEST_MAIN(TestFrenchConventions)
#include "tst_frenchconventions.moc"
