#include "accessories/clockstepping.h"
#include "platform/apperror.h"

#include <QtTest>

Q_DECLARE_METATYPE(ClockField)

class TestClockStepping : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void step_data();
    void step();
    void notANumber_data();
    void notANumber();
};

void TestClockStepping::step_data()
{
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("date");
    QTest::addColumn<ClockField>("field");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("expectedTime");
    QTest::addColumn<QString>("expectedDate");

    const QString date = QStringLiteral("07/12/2026");
    const QString time = QStringLiteral("14:05:30");
    QTest::newRow("hour 23 up stays") << "23:05:30" << date << ClockField::Hour << true << "23:05:30" << date;
    QTest::newRow("hour 00 down stays") << "00:05:30" << date << ClockField::Hour << false << "00:05:30" << date;
    QTest::newRow("minute 59 up stays, hour kept")
        << "14:59:30" << date << ClockField::Minute << true << "14:59:30" << date;
    QTest::newRow("minute 00 down stays") << "14:00:30" << date << ClockField::Minute << false << "14:00:30" << date;
    QTest::newRow("day 9 up") << time << "09/12/2026" << ClockField::Day << true << time << "10/12/2026";
    QTest::newRow("day 10 down") << time << "10/12/2026" << ClockField::Day << false << time << "09/12/2026";
    QTest::newRow("day 01 down stays") << time << "01/12/2026" << ClockField::Day << false << time << "01/12/2026";
    QTest::newRow("day 31 up stays") << time << "31/12/2026" << ClockField::Day << true << time << "31/12/2026";
    QTest::newRow("31 February allowed") << time << "30/02/2026" << ClockField::Day << true << time << "31/02/2026";
    QTest::newRow("month 12 up stays") << time << "07/12/2026" << ClockField::Month << true << time << "07/12/2026";
    QTest::newRow("month 01 down stays") << time << "07/01/2026" << ClockField::Month << false << time << "07/01/2026";
    QTest::newRow("year 2099 up stays") << time << "07/12/2099" << ClockField::Year << true << time << "07/12/2099";
    QTest::newRow("year 1900 down stays") << time << "07/12/1900" << ClockField::Year << false << time << "07/12/1900";
    // A year past the last one is not thrown back 51 years by a step up.
    QTest::newRow("year 2150 up stays") << time << "07/12/2150" << ClockField::Year << true << time << "07/12/2150";
    QTest::newRow("year 2150 down") << time << "07/12/2150" << ClockField::Year << false << time << "07/12/2149";
    QTest::newRow("two-digit year is 19xx") << time << "07/12/26" << ClockField::Year << true << time << "07/12/1927";
}

void TestClockStepping::step()
{
    QFETCH(QString, time);
    QFETCH(QString, date);
    QFETCH(ClockField, field);
    QFETCH(bool, up);
    ClockTexts texts(time, date);
    texts.step(field, up ? StepDirection::Up : StepDirection::Down);
    QTEST(texts.time, "expectedTime");
    QTEST(texts.date, "expectedDate");
}

void TestClockStepping::notANumber_data()
{
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("date");
    QTest::addColumn<int>("field"); // -1: applying, every field read
    QTest::addColumn<QString>("characters");
    QTest::newRow("12-hour time") << "9:05:07 PM" << "07/12/2026" << int(ClockField::Hour) << "9:";
    QTest::newRow("short date") << "09:05:07" << "07/12" << int(ClockField::Year) << "";
    QTest::newRow("applying, seconds") << "09:05:x7" << "07/12/2026" << -1 << "x7";
}

void TestClockStepping::notANumber()
{
    QFETCH(QString, time);
    QFETCH(QString, date);
    QFETCH(int, field);
    QFETCH(QString, characters);
    ClockTexts texts(time, date);
    try {
        if (field < 0)
            texts.moment();
        else
            texts.step(ClockField(field), StepDirection::Up);
        QFAIL("accepted");
    } catch (const AppError &error) {
        QCOMPARE(error.message(), QStringLiteral("'%1' n'est pas une valeur entière correcte").arg(characters));
    }
    QCOMPARE(texts.time, time);
    QCOMPARE(texts.date, date);
}

QTEST_GUILESS_MAIN(TestClockStepping)
#include "tst_clockstepping.moc"
