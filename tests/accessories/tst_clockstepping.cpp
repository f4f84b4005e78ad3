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
    void moment_data();
    void moment();
    void textsOfAMoment();
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
    QTest::newRow("hour up") << time << date << ClockField::Hour << true << "15:05:30" << date;
    QTest::newRow("hour 23 up stays") << "23:05:30" << date << ClockField::Hour << true << "23:05:30" << date;
    QTest::newRow("hour 00 down stays") << "00:05:30" << date << ClockField::Hour << false << "00:05:30" << date;
    QTest::newRow("hour 10 down pads") << "10:05:30" << date << ClockField::Hour << false << "09:05:30" << date;
    QTest::newRow("minute 59 up stays, hour kept") << "14:59:30" << date << ClockField::Minute << true << "14:59:30" << date;
    QTest::newRow("minute 00 down stays, hour kept") << "14:00:30" << date << ClockField::Minute << false << "14:00:30" << date;
    QTest::newRow("day 9 up") << time << "09/12/2026" << ClockField::Day << true << time << "10/12/2026";
    QTest::newRow("day 10 down") << time << "10/12/2026" << ClockField::Day << false << time << "09/12/2026";
    QTest::newRow("day 01 down stays") << time << "01/12/2026" << ClockField::Day << false << time << "01/12/2026";
    QTest::newRow("day 31 up stays") << time << "31/12/2026" << ClockField::Day << true << time << "31/12/2026";
    QTest::newRow("day 31 of February allowed") << time << "30/02/2026" << ClockField::Day << true << time << "31/02/2026";
    QTest::newRow("month 12 up stays") << time << "07/12/2026" << ClockField::Month << true << time << "07/12/2026";
    QTest::newRow("month 01 down stays") << time << "07/01/2026" << ClockField::Month << false << time << "07/01/2026";
    QTest::newRow("month 9 up") << time << "07/09/2026" << ClockField::Month << true << time << "07/10/2026";
    QTest::newRow("year up") << time << date << ClockField::Year << true << time << "07/12/2027";
    QTest::newRow("year 2099 up stays") << time << "07/12/2099" << ClockField::Year << true << time << "07/12/2099";
    QTest::newRow("year 1900 down stays") << time << "07/12/1900" << ClockField::Year << false << time << "07/12/1900";
    // A year past the last one is not thrown back 51 years by a step up.
    QTest::newRow("year 2150 up stays") << time << "07/12/2150" << ClockField::Year << true << time << "07/12/2150";
    QTest::newRow("year 2150 down") << time << "07/12/2150" << ClockField::Year << false << time << "07/12/2149";
    QTest::newRow("two-digit year is 19xx") << time << "07/12/26" << ClockField::Year << true << time << "07/12/1927";
    QTest::newRow("blank-led field") << " 9:05:30" << date << ClockField::Hour << true << "10:05:30" << date;
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
    QTest::addColumn<int>("field"); // -1: applying (reading every field)
    QTest::addColumn<QString>("message");

    QTest::newRow("12-hour locale") << "9:05:07 PM" << "07/12/2026" << int(ClockField::Hour)
                                    << "'9:' n'est pas une valeur entière correcte";
    QTest::newRow("ISO date") << "09:05:07" << "2026-12-07" << int(ClockField::Month)
                              << "'6-' n'est pas une valeur entière correcte";
    QTest::newRow("short text") << "09:05:07" << "07/12" << int(ClockField::Year)
                                << "'' n'est pas une valeur entière correcte";
    QTest::newRow("sign") << "09:-5:07" << "07/12/2026" << int(ClockField::Minute)
                          << "'-5' n'est pas une valeur entière correcte";
    QTest::newRow("applying, seconds") << "09:05:x7" << "07/12/2026" << -1
                                       << "'x7' n'est pas une valeur entière correcte";
    QTest::newRow("applying, year") << "09:05:07" << "07/12/20a6" << -1
                                    << "'20a6' n'est pas une valeur entière correcte";
}

void TestClockStepping::notANumber()
{
    QFETCH(QString, time);
    QFETCH(QString, date);
    QFETCH(int, field);
    QFETCH(QString, message);
    ClockTexts texts(time, date);
    try {
        if (field < 0)
            texts.moment();
        else
            texts.step(ClockField(field), StepDirection::Up);
        QFAIL("no error");
    } catch (const AppError &error) {
        QCOMPARE(error.message(), message);
    }
    QCOMPARE(texts.time, time);
    QCOMPARE(texts.date, date);
}

void TestClockStepping::moment_data()
{
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QDateTime>("expected");

    QTest::newRow("plain") << "16:23:07" << "07/12/2026" << QDateTime(QDate(2026, 12, 7), QTime(16, 23, 7));
    QTest::newRow("29 February 2000") << "00:00:00" << "29/02/2000" << QDateTime(QDate(2000, 2, 29), QTime(0, 0));
    QTest::newRow("29 February 1900") << "00:00:00" << "29/02/1900" << QDateTime();
    QTest::newRow("31 April") << "12:00:00" << "31/04/2026" << QDateTime();
    QTest::newRow("hour 24") << "24:00:00" << "07/12/2026" << QDateTime();
}

void TestClockStepping::moment()
{
    QFETCH(QString, time);
    QFETCH(QString, date);
    QFETCH(QDateTime, expected);
    const QDateTime moment = ClockTexts(time, date).moment();
    QCOMPARE(moment.isValid(), expected.isValid());
    if (expected.isValid()) {
        QCOMPARE(moment, expected);
        QCOMPARE(moment.timeSpec(), Qt::LocalTime);
    }
}

void TestClockStepping::textsOfAMoment()
{
    const ClockTexts texts = ClockTexts::of(QDateTime(QDate(2026, 3, 7), QTime(9, 5, 7, 999)));
    QCOMPARE(texts.time, QStringLiteral("09:05:07"));
    QCOMPARE(texts.date, QStringLiteral("07/03/2026"));
    QCOMPARE(texts.moment(), QDateTime(QDate(2026, 3, 7), QTime(9, 5, 7)));
}

QTEST_GUILESS_MAIN(TestClockStepping)
#include "tst_clockstepping.moc"
