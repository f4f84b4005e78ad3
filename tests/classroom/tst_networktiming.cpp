// Time on the network, through the session's handlers without a socket: the teacher's clock
// alone counts, a page reloaded or moved keeps its time, a copy whose time ran out ends as it
// stands, an interrupted session gives its time back, extra time reaches the pupil it is for,
// and the session closes at its hour.
#include "classroom/network/networksession.h"
#include "classroom/network/sessionapi.h"
#include "classroom/network/sessiontablemodel.h"
#include "networktesting.h"
#include "results/resultsfile.h"
#include "results/resultsrunkeeper.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace NetworkTesting;

namespace {

QStringList timedQuestionnaire(int minutes)
{
    QStringList lines = questionnaire(3);
    lines.prepend(QStringLiteral("PASSATION duree=%1").arg(minutes));
    return lines;
}

struct Timed
{
    QTemporaryDir dir;
    ListKeeper keeper;
    StepClock clock;
    std::unique_ptr<NetworkSession> session;
    std::unique_ptr<SessionApi> api;

    explicit Timed(int minutes, const QStringList &pupils = {}, const QStringList &extras = {})
    {
        NetworkSessionStart start;
        start.lines = timedQuestionnaire(minutes);
        start.code = QStringLiteral("123456");
        start.classPupils = pupils;
        start.classExtraTimes = extras;
        session = NetworkSession::begin(journal(), start, keeper, clock.function());
        api = std::make_unique<SessionApi>(*session, nullptr);
    }

    QString journal() const { return dir.filePath(QStringLiteral("j.journal")); }

    // The program stops (its window closed without ending the session)...
    void stop()
    {
        api.reset();
        session.reset();
    }
    // ... and takes the session up again from its journal.
    void start()
    {
        session = NetworkSession::resume(journal(), keeper, clock.function());
        api = std::make_unique<SessionApi>(*session, nullptr);
    }
    void resume()
    {
        stop();
        start();
    }

    QJsonObject post(const QString &path, QJsonObject body, int *status = nullptr)
    {
        body.insert(QStringLiteral("code"), QStringLiteral("123456"));
        ApiRequest request;
        request.method = ApiRequest::Method::Post;
        request.path = path;
        request.body = QJsonDocument(body).toJson();
        request.contentType = "application/json";
        request.peer = QStringLiteral("10.0.0.9");
        const ApiResponse response = api->handle(request);
        if (status)
            *status = response.status;
        return QJsonDocument::fromJson(response.body).object();
    }

    QString join(const QString &name)
    {
        return post(QStringLiteral("/api/join"), {{QStringLiteral("name"), name}}).value(QStringLiteral("token")).toString();
    }

    int timeLeft(const QString &token)
    {
        const QJsonObject state = post(QStringLiteral("/api/state"), {{QStringLiteral("token"), token}});
        return state.contains(QStringLiteral("timeLeft")) ? state.value(QStringLiteral("timeLeft")).toInt() : -1;
    }

    int answer(const QString &token, int position, int choice, int seq)
    {
        int status = 0;
        post(QStringLiteral("/api/answer"), {{QStringLiteral("token"), token}, {QStringLiteral("position"), position},
                                             {QStringLiteral("choice"), choice}, {QStringLiteral("seq"), seq}}, &status);
        return status;
    }

    void wait(int seconds) { clock.now = clock.now.addSecs(seconds); }
};

} // namespace

class TestNetworkTiming : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aDeviceThatLiesChangesNothing_data();
    void aDeviceThatLiesChangesNothing();
    void reloadAtThirtySecondsLeft();
    void timeUpKeepsTheCopyAsItStands();
    void resumeGivesTheInterruptionBack_data();
    void resumeGivesTheInterruptionBack();
    void extraTimeFromTheClassList_data();
    void extraTimeFromTheClassList();
    void minutesGrantedDuringTheRun();
    void openingHours();
    void timeLeftInTheTeachersTable_data();
    void timeLeftInTheTeachersTable();
};

void TestNetworkTiming::aDeviceThatLiesChangesNothing_data()
{
    QTest::addColumn<QJsonObject>("lies");
    QTest::newRow("a clock a day ahead") << QJsonObject{{QStringLiteral("now"), 1.8e12}};
    QTest::newRow("a time left of its own") << QJsonObject{{QStringLiteral("timeLeft"), 99999}};
    QTest::newRow("a deadline already past") << QJsonObject{{QStringLiteral("deadline"), 0}, {QStringLiteral("timeUp"), true}};
}

void TestNetworkTiming::aDeviceThatLiesChangesNothing()
{
    QFETCH(QJsonObject, lies);
    Timed timed(2);
    const QString token = timed.join(QStringLiteral("Marie"));
    timed.wait(20);
    QJsonObject body = lies;
    body.insert(QStringLiteral("token"), token);
    const QJsonObject state = timed.post(QStringLiteral("/api/state"), body);
    QCOMPARE(state.value(QStringLiteral("timeLeft")).toInt(), 100);
    QVERIFY(!state.value(QStringLiteral("timeUp")).toBool());
    QCOMPARE(timed.answer(token, 0, 1, 1), 200);
}

void TestNetworkTiming::reloadAtThirtySecondsLeft()
{
    Timed timed(2);
    const QString token = timed.join(QStringLiteral("Marie"));
    QCOMPARE(timed.answer(token, 0, 2, 1), 200);
    timed.wait(90);
    // A reload asks again with the token the page kept: the time left is the teacher's count,
    // not two minutes again.
    QCOMPARE(timed.timeLeft(token), 30);
    const QJsonObject question = timed.post(QStringLiteral("/api/question"), {{QStringLiteral("token"), token}, {QStringLiteral("position"), 1}});
    QCOMPARE(question.value(QStringLiteral("timeLeft")).toInt(), 30);
    QCOMPARE(timed.answer(token, 1, 3, 2), 200);
    timed.wait(30);
    QCOMPARE(timed.answer(token, 2, 1, 3), 409);
    const QJsonObject state = timed.post(QStringLiteral("/api/state"), {{QStringLiteral("token"), token}});
    QVERIFY(state.value(QStringLiteral("finished")).toBool());
    QVERIFY(state.value(QStringLiteral("timeUp")).toBool());
    QVERIFY(!state.contains(QStringLiteral("timeLeft")));
}

void TestNetworkTiming::timeUpKeepsTheCopyAsItStands()
{
    Timed timed(2);
    const QString token = timed.join(QStringLiteral("Marie"));
    QCOMPARE(timed.answer(token, 0, 1, 1), 200);
    timed.wait(125);
    // Nobody asks: the teacher's program ends the copy on its own clock.
    QCOMPARE(timed.session->expireDue(), 1);
    QCOMPARE(timed.keeper.kept.size(), size_t(1));
    const ClassRunRecord &kept = timed.keeper.kept.front();
    QVERIFY(kept.timedOut);
    QVERIFY(kept.finished);
    QCOMPARE(kept.durationSeconds, qint64(120));
    QCOMPARE(timed.session->pupil(0).run.answeredCount(), 1);
    const KeptRun run = ResultsRunKeeper::keptRun(timed.session->questionnaire(), kept);
    const QStringList row = ResultsFile::row(run);
    QCOMPARE(row.at(ResultsFile::StateColumn), QStringLiteral("terminée : temps écoulé"));
    // The answer given stays in its question's column.
    int answered = 0;
    for (int column = ResultsFile::FixedColumnCount; column < row.size(); ++column)
        answered += row.at(column).isEmpty() ? 0 : 1;
    QCOMPARE(answered, 1);
    QCOMPARE(timed.answer(token, 1, 1, 2), 409);
}

void TestNetworkTiming::resumeGivesTheInterruptionBack_data()
{
    QTest::addColumn<int>("beforeStop");
    QTest::addColumn<int>("stopped");
    QTest::addColumn<int>("leftAfter");
    QTest::newRow("stopped a minute in for ten minutes") << 60 << 600 << 60;
    QTest::newRow("stopped at once") << 0 << 300 << 120;
    QTest::newRow("stopped at five seconds left") << 115 << 3600 << 5;
}

void TestNetworkTiming::resumeGivesTheInterruptionBack()
{
    QFETCH(int, beforeStop);
    QFETCH(int, stopped);
    Timed timed(2);
    const QString token = timed.join(QStringLiteral("Marie"));
    timed.wait(beforeStop);
    timed.stop();
    timed.wait(stopped);
    timed.start();
    QCOMPARE(timed.session->expireDue(), 0);
    QTEST(timed.timeLeft(token), "leftAfter");
    // Given back once: a further resumption straight away gives nothing more.
    timed.resume();
    QTEST(timed.timeLeft(token), "leftAfter");
}

void TestNetworkTiming::extraTimeFromTheClassList_data()
{
    QTest::addColumn<QString>("extra");
    QTest::addColumn<int>("left");
    QTest::newRow("half as much again") << "+50 %" << 180;
    QTest::newRow("ten minutes more") << "+10 min" << 720;
    QTest::newRow("none") << "" << 120;
    QTest::newRow("a spoilt value is none") << "+50" << 120;
}

void TestNetworkTiming::extraTimeFromTheClassList()
{
    QFETCH(QString, extra);
    Timed timed(2, {QStringLiteral("DUPONT Marie"), QStringLiteral("MARTIN Paul")}, {extra, QString()});
    const QString marie = timed.join(QStringLiteral("dupont marie"));
    const QString paul = timed.join(QStringLiteral("MARTIN Paul"));
    QTEST(timed.timeLeft(marie), "left");
    QCOMPARE(timed.timeLeft(paul), 120);
    // Kept in the journal with the copy: a resumed session gives the same.
    timed.resume();
    QTEST(timed.timeLeft(marie), "left");
}

void TestNetworkTiming::minutesGrantedDuringTheRun()
{
    Timed timed(2);
    const QString token = timed.join(QStringLiteral("Marie"));
    timed.wait(100);
    timed.session->grantMinutes(0, 5);
    QCOMPARE(timed.timeLeft(token), 320);
    timed.resume();
    QCOMPARE(timed.timeLeft(token), 320);
    timed.wait(320);
    QCOMPARE(timed.session->expireDue(), 1);
    QVERIFY_THROWS_EXCEPTION(AppError, timed.session->grantMinutes(0, 5));
}

void TestNetworkTiming::openingHours()
{
    Timed timed(0);
    timed.session->setClosingTime(timed.clock.now.addSecs(300));
    const QString early = timed.join(QStringLiteral("Marie"));
    QCOMPARE(timed.timeLeft(early), 300);
    timed.wait(299);
    QVERIFY(!timed.join(QStringLiteral("Paul")).isEmpty());
    timed.wait(1);
    int status = 0;
    const QJsonObject refused = timed.post(QStringLiteral("/api/join"), {{QStringLiteral("name"), QStringLiteral("Léa")}}, &status);
    QCOMPARE(status, 410);
    QCOMPARE(refused.value(QStringLiteral("error")).toString(), QStringLiteral("La passation est fermée depuis 10:05."));
    QCOMPARE(timed.session->expireDue(), 2);
    QCOMPARE(timed.keeper.kept.size(), size_t(2));
    QVERIFY(timed.keeper.kept.front().timedOut);
    // The hour is kept in the journal.
    timed.resume();
    QVERIFY(timed.session->closed());
}

void TestNetworkTiming::timeLeftInTheTeachersTable_data()
{
    QTest::addColumn<QString>("extra");
    QTest::addColumn<int>("granted");
    QTest::addColumn<int>("waited");
    QTest::addColumn<bool>("expired");
    QTest::addColumn<QString>("shown");
    QTest::newRow("at the start") << "" << 0 << 0 << false << "2 min";
    QTest::newRow("a minute begun counts") << "" << 0 << 50 << false << "2 min";
    QTest::newRow("extra time") << "+50 %" << 0 << 0 << false << "3 min (+50 %)";
    QTest::newRow("granted") << "+10 min" << 1 << 100 << false << "12 min (+10 min, +1 min accordée)";
    QTest::newRow("last seconds") << "" << 0 << 80 << false << "40 s";
    QTest::newRow("over, not yet kept") << "" << 0 << 120 << false << "écoulé";
    QTest::newRow("kept") << "" << 0 << 130 << true << "";
}

void TestNetworkTiming::timeLeftInTheTeachersTable()
{
    QFETCH(QString, extra);
    QFETCH(int, granted);
    Timed timed(2, {QStringLiteral("DUPONT Marie")}, {extra});
    SessionTableModel table(*timed.session);
    timed.join(QStringLiteral("DUPONT Marie"));
    QFETCH(int, waited);
    timed.wait(waited);
    if (granted > 0)
        timed.session->grantMinutes(0, granted);
    QFETCH(bool, expired);
    if (expired)
        QCOMPARE(timed.session->expireDue(), 1);
    QTEST(table.data(table.index(0, SessionTableModel::TimeColumn)).toString(), "shown");
}

QTEST_GUILESS_MAIN(TestNetworkTiming)
#include "tst_networktiming.moc"
