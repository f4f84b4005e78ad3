// The time rules without any window or network: extra time as teachers write it, the time a copy
// has on the teacher's clock, what the pupil is told and when, and the settings and class lists
// that carry them.
#include "classroom/classlist.h"
#include "classroom/classtiming.h"
#include "document/classsettings.h"
#include "platform/apperror.h"

#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(ExtraTime::Kind)

namespace {

const QDateTime Start(QDate(2026, 12, 8), QTime(10, 0));

} // namespace

class TestClassTiming : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void extraTimeRead_data();
    void extraTimeRead();
    void allowedTime_data();
    void allowedTime();
    void remainingOnTheTeachersClock_data();
    void remainingOnTheTeachersClock();
    void announcements_data();
    void announcements();
    void durationSettingWrittenOnlyWhenSet();
    void classListColumn();
    void classListTextAndBadValues_data();
    void classListTextAndBadValues();
    void keptListsWithoutExtraTimeUnchanged();
};

void TestClassTiming::extraTimeRead_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<ExtraTime::Kind>("kind");
    QTest::addColumn<int>("amount");
    QTest::newRow("+33 %") << "+33 %" << true << ExtraTime::Kind::Percent << 33;
    QTest::newRow("33% without blank nor sign") << "33%" << true << ExtraTime::Kind::Percent << 33;
    QTest::newRow("no-break blank") << QStringLiteral("+33\u00A0%") << true << ExtraTime::Kind::Percent << 33;
    QTest::newRow("+10 min") << "+10 min" << true << ExtraTime::Kind::Minutes << 10;
    QTest::newRow("10 minutes") << "10 minutes" << true << ExtraTime::Kind::Minutes << 10;
    QTest::newRow("+ 10 MN") << "+ 10 MN" << true << ExtraTime::Kind::Minutes << 10;
    QTest::newRow("empty is none") << "" << true << ExtraTime::Kind::None << 0;
    QTest::newRow("zero is none") << "0" << true << ExtraTime::Kind::None << 0;
    QTest::newRow("+0 % is none") << "+0 %" << true << ExtraTime::Kind::None << 0;
    QTest::newRow("largest share") << "+200 %" << true << ExtraTime::Kind::Percent << 200;
    QTest::newRow("share too large") << "+201 %" << false << ExtraTime::Kind::None << 0;
    QTest::newRow("minutes too many") << "+601 min" << false << ExtraTime::Kind::None << 0;
    QTest::newRow("no unit") << "+33" << false << ExtraTime::Kind::None << 0;
    QTest::newRow("negative") << "-10 min" << false << ExtraTime::Kind::None << 0;
    QTest::newRow("decimal") << "+33,3 %" << false << ExtraTime::Kind::None << 0;
    QTest::newRow("words") << "tiers-temps" << false << ExtraTime::Kind::None << 0;
    QTest::newRow("hours") << "+1 h" << false << ExtraTime::Kind::None << 0;
}

void TestClassTiming::extraTimeRead()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QString problem;
    const std::optional<ExtraTime> read = ExtraTime::parse(text, &problem);
    QCOMPARE(read.has_value(), ok);
    if (!ok) {
        // The teacher is told what was wrong, in French, with what he typed.
        QVERIFY(problem.contains(text.trimmed()));
        QVERIFY(problem.contains(QStringLiteral("temps majoré")));
        return;
    }
    QTEST(read->kind, "kind");
    QTEST(read->amount, "amount");
    // Written back, it reads the same.
    QCOMPARE(ExtraTime::parse(read->text()), read);
}

void TestClassTiming::allowedTime_data()
{
    QTest::addColumn<int>("limitMinutes");
    QTest::addColumn<QString>("extra");
    QTest::addColumn<int>("granted");
    QTest::addColumn<qint64>("allowed");
    QTest::newRow("no extra time") << 55 << "" << 0 << qint64(3300);
    QTest::newRow("a third more, rounded up to the second") << 55 << "+33 %" << 0 << qint64(4389);
    QTest::newRow("half as much again") << 2 << "+50 %" << 0 << qint64(180);
    QTest::newRow("ten minutes more") << 55 << "+10 min" << 0 << qint64(3900);
    QTest::newRow("minutes granted on top of the share") << 2 << "+50 %" << 5 << qint64(480);
    QTest::newRow("no limit: nothing to extend") << 0 << "+33 %" << 5 << qint64(0);
}

void TestClassTiming::allowedTime()
{
    QFETCH(int, limitMinutes);
    QFETCH(QString, extra);
    QFETCH(int, granted);
    CopyTime time(qint64(limitMinutes) * 60, *ExtraTime::parse(extra), Start);
    time.grantMinutes(granted);
    QTEST(time.allowedSeconds(), "allowed");
}

void TestClassTiming::remainingOnTheTeachersClock_data()
{
    QTest::addColumn<int>("limitMinutes");
    QTest::addColumn<qint64>("givenBackMs");
    QTest::addColumn<int>("closesAfter");  // seconds after the start; -1: no closing hour
    QTest::addColumn<int>("nowAfterMs");
    QTest::addColumn<int>("remaining");
    QTest::newRow("at the start") << 2 << qint64(0) << -1 << 0 << 120;
    QTest::newRow("a fraction of a second left counts as one") << 2 << qint64(0) << -1 << 119800 << 1;
    QTest::newRow("thirty seconds left") << 2 << qint64(0) << -1 << 90000 << 30;
    QTest::newRow("over at the limit") << 2 << qint64(0) << -1 << 120000 << 0;
    QTest::newRow("long after") << 2 << qint64(0) << -1 << 900000 << 0;
    QTest::newRow("an interruption given back") << 2 << qint64(600000) << -1 << 690000 << 30;
    QTest::newRow("closing hour before the limit") << 2 << qint64(0) << 60 << 30000 << 30;
    QTest::newRow("closing hour after the limit changes nothing") << 2 << qint64(0) << 600 << 30000 << 90;
    QTest::newRow("closing hour without a limit") << 0 << qint64(0) << 300 << 0 << 300;
    QTest::newRow("closing hour passed") << 0 << qint64(0) << 300 << 300000 << 0;
    QTest::newRow("untimed") << 0 << qint64(0) << -1 << 0 << -1;
}

void TestClassTiming::remainingOnTheTeachersClock()
{
    QFETCH(int, limitMinutes);
    QFETCH(qint64, givenBackMs);
    QFETCH(int, closesAfter);
    QFETCH(int, nowAfterMs);
    QFETCH(int, remaining);
    CopyTime time(qint64(limitMinutes) * 60, {}, Start);
    time.giveBack(givenBackMs);
    if (closesAfter >= 0)
        time.closeAt(Start.addSecs(closesAfter));
    const QDateTime now = Start.addMSecs(nowAfterMs);
    QCOMPARE(time.remainingSeconds(now), remaining);
    QCOMPARE(time.over(now), remaining == 0);
}

void TestClassTiming::announcements_data()
{
    // Seconds left at each tick, and what is said at each ("" for nothing), with its warning.
    QTest::addColumn<QList<int>>("ticks");
    QTest::addColumn<QStringList>("said");
    QTest::addColumn<QList<int>>("warnings");
    const int none = int(TimeAnnouncer::Warning::None);
    const int five = int(TimeAnnouncer::Warning::FiveMinutes);
    const int one = int(TimeAnnouncer::Warning::OneMinute);
    const int up = int(TimeAnnouncer::Warning::TimeUp);
    QTest::newRow("ten minutes counted down")
        << QList<int>{600, 599, 301, 300, 299, 61, 60, 59, 1, 0}
        << QStringList{"Il reste 10 min.", "", "", "Attention : il reste 5 minutes.", "", "", "Attention : il reste 1 minute.",
                       "", "", "Temps écoulé. Vos réponses sont enregistrées."}
        << QList<int>{none, none, none, five, none, none, one, none, none, up};
    QTest::newRow("every five minutes above, not every second")
        << QList<int>{3300, 3299, 3001, 3000, 2999, 2700}
        << QStringList{"Il reste 55 min.", "", "", "Il reste 50 min.", "", "Il reste 45 min."}
        << QList<int>{none, none, none, none, none, none};
    QTest::newRow("a page reloaded at thirty seconds left")
        << QList<int>{30, 29, 0}
        << QStringList{"Attention : il reste moins d'une minute.", "", "Temps écoulé. Vos réponses sont enregistrées."}
        << QList<int>{none, none, up};
    QTest::newRow("minutes granted in the last minute")
        << QList<int>{61, 60, 360, 359, 300}
        << QStringList{"Il reste 2 min.", "Attention : il reste 1 minute.", "Il reste 6 min.", "", "Attention : il reste 5 minutes."}
        << QList<int>{none, one, none, none, five};
    QTest::newRow("untimed says nothing") << QList<int>{-1, -1} << QStringList{"", ""} << QList<int>{none, none};
}

void TestClassTiming::announcements()
{
    QFETCH(QList<int>, ticks);
    QFETCH(QStringList, said);
    QFETCH(QList<int>, warnings);
    TimeAnnouncer announcer;
    for (qsizetype i = 0; i < ticks.size(); ++i) {
        const TimeAnnouncer::Announcement heard = announcer.next(ticks.at(i));
        QCOMPARE(heard.text, said.at(i));
        QCOMPARE(int(heard.warning), warnings.at(i));
    }
}

void TestClassTiming::durationSettingWrittenOnlyWhenSet()
{
    const QStringList plain{QStringLiteral("PASSATION fin=corrections"), QStringLiteral("<BLOC0000>"), QStringLiteral("</BLOC0000>")};
    ClassSettings settings = ClassSettingsFormat::read(plain);
    QCOMPARE(settings.durationMinutes, 0);
    // Without a duration the file is written as before; with one, only its line is added.
    const QStringList untimed = ClassSettingsFormat::withSettings(plain, settings);
    QVERIFY(untimed.filter(QStringLiteral("duree")).isEmpty());
    QCOMPARE(ClassSettingsFormat::withSettings({QStringLiteral("<BLOC0000>")}, ClassSettings()), QStringList{QStringLiteral("<BLOC0000>")});
    settings.durationMinutes = 55;
    QStringList timed = ClassSettingsFormat::withSettings(plain, settings);
    QCOMPARE(timed.removeAll(QStringLiteral("PASSATION duree=55")), qsizetype(1));
    QCOMPARE(timed, untimed);
    timed = ClassSettingsFormat::withSettings(plain, settings);
    QCOMPARE(ClassSettingsFormat::read(timed), settings);
    // A value spoilt by hand is no limit.
    QCOMPARE(ClassSettingsFormat::read({QStringLiteral("PASSATION duree=-5")}).durationMinutes, 0);
    QCOMPARE(ClassSettingsFormat::read({QStringLiteral("PASSATION duree=9999")}).durationMinutes, 0);
}

void TestClassTiming::classListColumn()
{
    QStringList problems;
    const std::vector<ClassListReader::Entry> read = ClassListReader::readEntries(
        QByteArray("Nom;Pr\xc3\xa9nom;Temps major\xc3\xa9\nDUPONT;Marie;+33 %\nMARTIN;Paul;\nDURAND;Léa;beaucoup\nROUX;Jean;+10 min\n"),
        &problems);
    QCOMPARE(read.size(), size_t(4));
    QCOMPARE(read[0].name, QStringLiteral("DUPONT Marie"));
    QCOMPARE(read[0].extra.text(), QStringLiteral("+33 %"));
    QVERIFY(read[1].extra.isNone());
    // A bad value leaves the pupil in the list, without extra time, and says where it was.
    QCOMPARE(read[2].name, QStringLiteral("DURAND Léa"));
    QVERIFY(read[2].extra.isNone());
    QCOMPARE(problems.size(), 1);
    QVERIFY(problems.first().startsWith(QStringLiteral("Ligne 4 : ")));
    QCOMPARE(read[3].extra.text(), QStringLiteral("+10 min"));
    // The column is not taken for a name.
    QCOMPARE(ClassListReader::read(QByteArray("Temps major\xc3\xa9;Nom;Pr\xc3\xa9nom\n+33 %;DUPONT;Marie\n")),
             QStringList{QStringLiteral("DUPONT Marie")});
}

void TestClassTiming::classListTextAndBadValues_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("problem");  // empty: accepted
    QTest::addColumn<QString>("written");
    QTest::newRow("names alone") << "DUPONT Marie\nMARTIN Paul" << "" << "DUPONT Marie\nMARTIN Paul";
    QTest::newRow("extra times after a semicolon") << "DUPONT Marie;+33%\n\nMARTIN Paul ;  10 min"
                                                   << "" << "DUPONT Marie ; +33 %\nMARTIN Paul ; +10 min";
    QTest::newRow("empty value is none") << "DUPONT Marie ;" << "" << "DUPONT Marie";
    QTest::newRow("bad value names its line") << "DUPONT Marie\nMARTIN Paul ; +33" << "Ligne 2 (MARTIN Paul)" << "";
    QTest::newRow("too much") << "DUPONT Marie ; +300 %" << "Ligne 1 (DUPONT Marie)" << "";
}

void TestClassTiming::classListTextAndBadValues()
{
    QFETCH(QString, text);
    QFETCH(QString, problem);
    try {
        const std::vector<ClassListReader::Entry> entries = ClassListReader::entriesOfText(text);
        QVERIFY2(problem.isEmpty(), "accepted a bad value");
        QTEST(ClassListReader::textOf(entries), "written");
    } catch (const AppError &error) {
        QVERIFY2(!problem.isEmpty(), qPrintable(error.message()));
        QVERIFY(error.message().startsWith(problem));
    }
}

void TestClassTiming::keptListsWithoutExtraTimeUnchanged()
{
    QTemporaryDir dir;
    ClassListStore store(dir.path());
    store.save(QStringLiteral("4e B"), {QStringLiteral("DUPONT Marie"), QStringLiteral("MARTIN Paul")});
    QFile file(dir.filePath(QStringLiteral("4e%20B.classe")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("DUPONT Marie\nMARTIN Paul\n"));
    file.close();

    store.saveEntries(QStringLiteral("4e B"), {{QStringLiteral("DUPONT Marie"), *ExtraTime::parse(QStringLiteral("+33 %"))},
                                               {QStringLiteral("MARTIN Paul"), {}}});
    QCOMPARE(store.pupils(QStringLiteral("4e B")), (QStringList{QStringLiteral("DUPONT Marie"), QStringLiteral("MARTIN Paul")}));
    QCOMPARE(store.extraTimeOf(QStringLiteral("4e B"), QStringLiteral("dupont  marie")).text(), QStringLiteral("+33 %"));
    QVERIFY(store.extraTimeOf(QStringLiteral("4e B"), QStringLiteral("MARTIN Paul")).isNone());
    QVERIFY(store.extraTimeOf(QStringLiteral("4e B"), QStringLiteral("Inconnu")).isNone());
}

QTEST_GUILESS_MAIN(TestClassTiming)
#include "tst_classtiming.moc"
