// A run taken live, through the pupils' API over real HTTP on 127.0.0.1: the teacher's pace
// decides which question a page may read, picture and answer, and when it hears the class's
// answers and the right one; the pace survives a resume; the presence and the counts the
// teacher sees.
#include "classroom/network/livepacing.h"
#include "classroom/network/networksession.h"
#include "classroom/network/sessionapi.h"
#include "classroom/network/server/sessionserver.h"
#include "networktesting.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QtTest>

using namespace NetworkTesting;

namespace {

struct Reply
{
    int status = 0;
    QJsonObject json;
};

// Four questions, the second with two right answers ("Bonnes réponses : 2, 3"), the last one
// without a right answer; the answers shuffled for each pupil when `shuffle`.
QStringList liveQuestionnaire(bool shuffle)
{
    QStringList lines = questionnaire(4, shuffle);
    const int second = int(lines.indexOf(QcmFormat::openingTag(1)));
    const int correction = int(lines.indexOf(QStringLiteral("Correction :"), second));
    lines.insert(correction + 1, QStringLiteral("Bonnes réponses : 2, 3"));
    return lines;
}

struct Live
{
    QTemporaryDir dir;
    ListKeeper keeper;
    StepClock clock;
    std::unique_ptr<NetworkSession> session;
    std::unique_ptr<SessionApi> api;
    std::unique_ptr<SessionServer> server;
    std::unique_ptr<LivePacing> pacing;
    quint16 port = 0;
    QNetworkAccessManager network;

    explicit Live(bool shuffle = false)
    {
        NetworkSessionStart start;
        start.lines = liveQuestionnaire(shuffle);
        start.classPupils = QStringList{QStringLiteral("DURAND Ann"), QStringLiteral("MARTIN Bob"),
                                        QStringLiteral("PETIT Cléo")};
        start.code = QStringLiteral("123456");
        start.live = true;
        session = NetworkSession::begin(journal(), start, keeper, clock.function());
        serve();
    }

    QString journal() const { return dir.filePath(QStringLiteral("quiz-reseau.journal")); }

    void serve()
    {
        server.reset();
        pacing = std::make_unique<LivePacing>(*session);
        api = std::make_unique<SessionApi>(*session, [](int question) {
            WebPicture picture;
            picture.state = question == 0 ? WebPicture::State::Ready : WebPicture::State::None;
            picture.bytes = "GIF89a";
            picture.mimeType = "image/gif";
            return picture;
        });
        server = std::make_unique<SessionServer>(*api, SessionServer::Limits());
        QObject::connect(session.get(), &NetworkSession::journalSynced, server.get(), &SessionServer::journalSynced);
        port = server->open(QHostAddress::LocalHost, 0);
        QVERIFY(port != 0);
    }

    void resume()
    {
        server.reset();
        pacing.reset();
        api.reset();
        session.reset();
        session = NetworkSession::resume(journal(), keeper, clock.function());
        serve();
    }

    Reply finished(QNetworkReply *reply)
    {
        if (!reply->isFinished()) {
            QEventLoop loop;
            QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
            QTimer::singleShot(5000, &loop, &QEventLoop::quit);
            loop.exec();
        }
        Reply result;
        result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        result.json = QJsonDocument::fromJson(reply->readAll()).object();
        reply->deleteLater();
        return result;
    }

    Reply post(const QString &action, const QJsonObject &body)
    {
        QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1/api/%2").arg(port).arg(action)));
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
        return finished(network.post(request, QJsonDocument(body).toJson(QJsonDocument::Compact)));
    }

    Reply picture(int number, const QString &token)
    {
        return finished(network.get(QNetworkRequest(
            QUrl(QStringLiteral("http://127.0.0.1:%1/picture/%2?t=%3").arg(port).arg(number).arg(token)))));
    }

    QString join(const QString &name)
    {
        return post(QStringLiteral("join"), {{"code", "123456"}, {"name", name}}).json.value("token").toString();
    }

    // The place at which `pupil` sees answer `answer` of question `question`.
    int placeOf(int pupil, int question, int answer) const
    {
        return session->pupil(pupil).run.version().shownPlace(question, answer);
    }

    int positionOf(int pupil, int question) const { return session->pupil(pupil).run.version().positionOf(question); }

    Reply answer(int pupil, const QString &token, int question, int answer, int seq)
    {
        return post(QStringLiteral("answer"), {{"token", token}, {"position", positionOf(pupil, question)},
                                              {"choice", answer == 0 ? 0 : placeOf(pupil, question, answer)},
                                              {"seq", seq}});
    }

    // The teacher's steps: "next", "answers", "right", "reopen".
    void pace(const QStringList &steps)
    {
        for (const QString &step : steps) {
            if (step == QLatin1String("next"))
                pacing->next();
            else if (step == QLatin1String("answers"))
                pacing->showAnswers();
            else if (step == QLatin1String("right"))
                pacing->showRight();
            else if (step == QLatin1String("reopen"))
                pacing->reopen();
        }
    }
};

} // namespace

class TestLiveSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pacingRules_data();
    void pacingRules();
    void sharesCountEachAnswerWherePupilsSawIt();
    void severalRightAnswersAreAllMarked();
    void resumeComesBackAtTheSameStep();
    void teachersEndFinishesEveryRun();
    void presenceFollowsTheClassList();
    void keysStepThroughTheQuestion_data();
    void keysStepThroughTheQuestion();
};

void TestLiveSession::pacingRules_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("request"); // "live", "question q", "answer q", "picture n", "finish"
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");

    const QStringList none;
    const QStringList question{"title", "answers"};
    QTest::newRow("waiting: no question in the view") << none << "live" << 200 << QStringList{"step"}
                                                      << QStringList{"title", "answers", "position", "shares", "right"};
    QTest::newRow("waiting: the first question refused") << none << "question 0" << 403 << none << QStringList{"title"};
    QTest::newRow("waiting: no answer taken") << none << "answer 0" << 409 << QStringList{"closed"} << none;
    QTest::newRow("waiting: no picture") << none << "picture 1" << 404 << none << none;
    QTest::newRow("open: the question shown, no shares, no right")
        << QStringList{"next"} << "live" << 200 << question << QStringList{"shares", "right", "correction"};
    QTest::newRow("open: its answer taken") << QStringList{"next"} << "answer 0" << 200 << QStringList{"ok"} << none;
    QTest::newRow("open: its picture sent") << QStringList{"next"} << "picture 1" << 200 << none << none;
    QTest::newRow("open: the next question refused") << QStringList{"next"} << "question 1" << 403 << none
                                                     << QStringList{"title"};
    QTest::newRow("open: the next question's answer refused") << QStringList{"next"} << "answer 1" << 409
                                                              << QStringList{"closed"} << none;
    QTest::newRow("open: the pupil cannot finish") << QStringList{"next"} << "finish" << 409 << none
                                                   << QStringList{"result"};
    QTest::newRow("answers shown: shares, no right") << QStringList{"next", "answers"} << "live" << 200
                                                     << QStringList{"shares", "answered"} << QStringList{"right"};
    QTest::newRow("answers shown: closed to answers") << QStringList{"next", "answers"} << "answer 0" << 409
                                                      << QStringList{"closed"} << none;
    QTest::newRow("reopened: answers taken again") << QStringList{"next", "answers", "reopen"} << "answer 0" << 200
                                                   << none << none;
    QTest::newRow("right shown: the right places") << QStringList{"next", "right"} << "live" << 200
                                                   << QStringList{"shares", "right"} << none;
    QTest::newRow("right shown: never reopened") << QStringList{"next", "right", "reopen"} << "answer 0" << 409
                                                 << QStringList{"closed"} << none;
    QTest::newRow("second question: the first still readable") << QStringList{"next", "right", "next"}
                                                               << "question 0" << 200 << question << none;
    QTest::newRow("second question: the first closed") << QStringList{"next", "next"} << "answer 0" << 409 << none
                                                       << none;
    QTest::newRow("second question: the third refused") << QStringList{"next", "next"} << "question 2" << 403
                                                        << none << none;
}

void TestLiveSession::pacingRules()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, request);
    QFETCH(int, status);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);

    Live live(true);
    const QString token = live.join(QStringLiteral("DURAND Ann"));
    QVERIFY(!token.isEmpty());
    live.pace(steps);
    const QStringList words = request.split(QLatin1Char(' '));
    const int number = words.size() > 1 ? words[1].toInt() : 0;
    Reply reply;
    if (words[0] == QLatin1String("live"))
        reply = live.post(QStringLiteral("live"), {{"token", token}});
    else if (words[0] == QLatin1String("question"))
        reply = live.post(QStringLiteral("question"), {{"token", token}, {"position", live.positionOf(0, number)}});
    else if (words[0] == QLatin1String("answer"))
        reply = live.answer(0, token, number, 2, 1);
    else if (words[0] == QLatin1String("picture"))
        reply = live.picture(number, token);
    else
        reply = live.post(QStringLiteral("finish"), {{"token", token}});

    QCOMPARE(reply.status, status);
    for (const QString &key : present)
        QVERIFY2(reply.json.contains(key), qPrintable(key));
    for (const QString &key : absent)
        QVERIFY2(!reply.json.contains(key), qPrintable(key));
    // Whatever was refused left no answer behind.
    if (status != 200 && words[0] == QLatin1String("answer"))
        QCOMPARE(live.session->pupil(0).run.answers()[size_t(number)], 0);
}

void TestLiveSession::sharesCountEachAnswerWherePupilsSawIt()
{
    Live live(true);
    const QStringList names{"DURAND Ann", "MARTIN Bob", "PETIT Cléo", "ROUX Dan", "SIMON Eva"};
    const int chosen[] = {1, 1, 3, 4, 1};  // in the questionnaire's numbering
    QStringList tokens;
    for (const QString &name : names)
        tokens << live.join(name);
    live.pace({"next"});
    for (int pupil = 0; pupil < names.size(); ++pupil)
        QCOMPARE(live.answer(pupil, tokens[pupil], 0, chosen[pupil], 1).status, 200);
    live.pace({"answers"});

    const LiveTally tally = live.pacing->tally();
    QCOMPARE(tally.answered, 5);
    QCOMPARE(tally.joined, 5);
    QCOMPARE((std::array<int, 5>{3, 0, 1, 1, 0}), tally.counts);
    // Each page's shares are the same counts, at the places that page shows the answers.
    for (int pupil = 0; pupil < names.size(); ++pupil) {
        const QJsonArray shares = live.post(QStringLiteral("live"), {{"token", tokens[pupil]}}).json.value("shares").toArray();
        QCOMPARE(shares.size(), 4);
        for (int answer = 1; answer <= 4; ++answer)
            QCOMPARE(shares.at(live.placeOf(pupil, 0, answer) - 1).toInt(), tally.counts[size_t(answer - 1)]);
    }
    // What the class was shown is in the journal, beside the step.
    const SessionJournal::Contents lines = SessionJournal::read(live.journal());
    const QJsonObject shown = lines.records.back();
    QCOMPARE(shown.value("s").toString(), QStringLiteral("answers"));
    QCOMPARE(shown.value("c").toArray(), (QJsonArray{3, 0, 1, 1, 0}));
}

void TestLiveSession::severalRightAnswersAreAllMarked()
{
    Live live(true);
    const QString token = live.join(QStringLiteral("DURAND Ann"));
    live.pace({"next", "right", "next"});
    // The open question says it takes several answers, and gives back the set the pupil ticked.
    const int position = live.session->pupil(0).run.version().positionOf(1);
    const QJsonArray ticks{live.placeOf(0, 1, 2), live.placeOf(0, 1, 3)};
    QCOMPARE(live.post(QStringLiteral("answer"), {{"token", token}, {"position", position}, {"choices", ticks}, {"seq", 1}}).status, 200);
    const QJsonObject open = live.post(QStringLiteral("live"), {{"token", token}}).json;
    QVERIFY(open.value("several").toBool());
    QCOMPARE(QSet<int>({open.value("ticked").toArray().at(0).toInt(), open.value("ticked").toArray().at(1).toInt()}),
             (QSet<int>{live.placeOf(0, 1, 2), live.placeOf(0, 1, 3)}));
    live.pace({"right"});
    const QJsonArray right = live.post(QStringLiteral("live"), {{"token", token}}).json.value("right").toArray();
    QCOMPARE(right.size(), 2);
    QSet<int> places{right.at(0).toInt(), right.at(1).toInt()};
    QCOMPARE(places, (QSet<int>{live.placeOf(0, 1, 2), live.placeOf(0, 1, 3)}));
    QVERIFY(live.pacing->tallyText().count(QStringLiteral("bonne réponse")) == 2);
}

void TestLiveSession::resumeComesBackAtTheSameStep()
{
    Live live;
    const QString token = live.join(QStringLiteral("DURAND Ann"));
    live.pace({"next", "right", "next"});
    QCOMPARE(live.answer(0, token, 1, 3, 1).status, 200);
    live.pace({"answers"});
    live.session->requestJournalSync();
    live.resume();

    QCOMPARE(live.session->pace().step, LivePace::Step::Answers);
    QCOMPARE(live.session->pace().question, 1);
    QCOMPARE(live.session->pupil(0).run.answers()[1], 3);
    QCOMPARE(live.answer(0, token, 1, 2, 2).status, 409);
    QVERIFY(live.pacing->canReopen());
    QCOMPARE(live.post(QStringLiteral("live"), {{"token", token}}).json.value("number").toInt(), 2);
}

void TestLiveSession::teachersEndFinishesEveryRun()
{
    Live live;
    const QString ann = live.join(QStringLiteral("DURAND Ann"));
    live.join(QStringLiteral("MARTIN Bob"));
    live.pace({"next"});
    QCOMPARE(live.answer(0, ann, 0, 1, 1).status, 200);
    QVERIFY(live.session->end().isEmpty());

    QCOMPARE(live.keeper.kept.size(), size_t(2));
    for (const ClassRunRecord &kept : live.keeper.kept) {
        QVERIFY(kept.finished);
        QCOMPARE(kept.way, ClassRunRecord::Way::Live);
    }
    QCOMPARE(live.keeper.kept[0].answers[0], 1);
    QVERIFY(!live.pacing->canGoNext());
}

void TestLiveSession::presenceFollowsTheClassList()
{
    Live live;
    live.join(QStringLiteral("petit cléo"));
    live.join(QStringLiteral("DURAND Ann"));
    live.join(QStringLiteral("Zoé, pas sur la liste"));
    const std::vector<LivePacing::Presence> presence = live.pacing->presence();
    QStringList seen;
    for (const LivePacing::Presence &pupil : presence)
        seen << pupil.name + (pupil.joined ? QStringLiteral(" +") : QStringLiteral(" -"));
    QCOMPARE(seen, (QStringList{"DURAND Ann +", "MARTIN Bob -", "PETIT Cléo +", "Zoé, pas sur la liste +"}));

    live.pace({"next"});
    QCOMPARE(live.pacing->notAnswered(), (QStringList{"petit cléo", "DURAND Ann", "Zoé, pas sur la liste"}));
}

void TestLiveSession::keysStepThroughTheQuestion_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("question");

    QTest::newRow("space opens the first") << QList<int>{Qt::Key_Space} << int(LivePace::Step::Open) << 0;
    QTest::newRow("then the answers") << QList<int>{Qt::Key_Space, Qt::Key_PageDown} << int(LivePace::Step::Answers) << 0;
    QTest::newRow("then the right one") << QList<int>{Qt::Key_Space, Qt::Key_Right, Qt::Key_Right}
                                        << int(LivePace::Step::Right) << 0;
    QTest::newRow("then the next question") << QList<int>{Qt::Key_Space, Qt::Key_Space, Qt::Key_Space, Qt::Key_Space}
                                            << int(LivePace::Step::Open) << 1;
    QTest::newRow("PgUp opens it again") << QList<int>{Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageUp}
                                         << int(LivePace::Step::Open) << 0;
    QTest::newRow("PgUp never after the right answer")
        << QList<int>{Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_Left} << int(LivePace::Step::Right) << 0;
    // The last question has no right answer: after its answers, nothing further.
    QTest::newRow("the last question stops there")
        << QList<int>(14, Qt::Key_Space) << int(LivePace::Step::Answers) << 3;
    QTest::newRow("other keys do nothing") << QList<int>{Qt::Key_A, Qt::Key_Return} << int(LivePace::Step::Waiting) << -1;
}

void TestLiveSession::keysStepThroughTheQuestion()
{
    QFETCH(QList<int>, keys);
    QFETCH(int, step);
    QFETCH(int, question);
    Live live;
    for (int key : keys)
        live.pacing->pressKey(key);
    QCOMPARE(int(live.session->pace().step), step);
    QCOMPARE(live.session->pace().question, question);
}

QTEST_GUILESS_MAIN(TestLiveSession)
#include "tst_livesession.moc"
