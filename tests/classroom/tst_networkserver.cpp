// The session's server over real HTTP on 127.0.0.1: a pupil joins, answers, finishes and comes
// back after the teacher's program stopped; every refusal; clients that misbehave at the
// socket; and no response before the end that holds a right answer or a correction.
#include "classroom/network/networksession.h"
#include "classroom/network/sessionapi.h"
#include "classroom/network/server/sessionserver.h"
#include "networktesting.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpSocket>
#include <QtTest>

using namespace NetworkTesting;

namespace {

struct Reply
{
    int status = 0;
    QByteArray body;
    QJsonObject json;
    QByteArray header(const QByteArray &name) const { return headers.value(name.toLower()); }
    QHash<QByteArray, QByteArray> headers;
};

// Between the handlers and the server: tells the server the journal is on the disk only as far
// as the test lets it, so that what waits for the disk can be seen waiting. Open, it passes
// everything through at once.
struct DiskGate : SessionRequests
{
    SessionApi *api = nullptr;
    SessionServer *server = nullptr;
    bool holding = false;
    qint64 told = 0;
    std::vector<std::pair<qint64, QString>> held;

    void setHost(const QString &host) override { api->setHost(host); }
    ApiResponse handle(const ApiRequest &request) override { return api->handle(request); }
    qint64 journalSyncedLength() const override { return holding ? told : api->journalSyncedLength(); }
    void requestJournalSync() override { api->requestJournalSync(); }
    void reportFailure(const QString &reason) override { api->reportFailure(reason); }

    void synced(qint64 length, const QString &failure)
    {
        if (holding)
            held.emplace_back(length, failure);
        else
            server->journalSynced(length, failure);
    }
    void hold()
    {
        holding = true;
        told = api->journalSyncedLength();
    }
    void release()
    {
        holding = false;
        for (const auto &[length, failure] : std::exchange(held, {}))
            server->journalSynced(length, failure);
    }
};

// A session, its handlers and its server on 127.0.0.1, as the session window puts them together.
struct Served
{
    QTemporaryDir dir;
    ListKeeper keeper;
    StepClock clock;
    std::unique_ptr<NetworkSession> session;
    std::unique_ptr<SessionApi> api;
    DiskGate disk;
    std::unique_ptr<SessionServer> server;
    quint16 port = 0;
    QNetworkAccessManager network;
    QStringList bodies; // every response, to look for what must not be there

    explicit Served(const QStringList &lines, SessionApi::Limits limits = {}, SessionServer::Limits connections = {})
    {
        NetworkSessionStart start;
        start.lines = lines;
        start.className = QStringLiteral("4e B");
        start.classPupils = QStringList{QStringLiteral("DURAND Ann"), QStringLiteral("MARTIN Bob")};
        start.code = QStringLiteral("123456");
        session = NetworkSession::begin(journal(), start, keeper, clock.function());
        serve(limits, connections);
    }

    QString journal() const { return dir.filePath(QStringLiteral("quiz-reseau.journal")); }

    void serve(SessionApi::Limits limits = {}, SessionServer::Limits connections = {}, quint16 at = 0)
    {
        api = std::make_unique<SessionApi>(*session, [](int question) {
            WebPicture picture;
            if (question == 0) {
                picture.state = WebPicture::State::Ready;
                picture.bytes = "GIF89a";
                picture.mimeType = "image/gif";
            }
            return picture;
        }, limits);
        disk.api = api.get();
        server = std::make_unique<SessionServer>(disk, connections);
        disk.server = server.get();
        QObject::connect(session.get(), &NetworkSession::journalSynced, server.get(),
                         [this](qint64 length, const QString &failure) { disk.synced(length, failure); });
        port = server->open(QHostAddress::LocalHost, at);
        QVERIFY(port != 0);
    }

    QUrl url(const QString &path) const { return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path)); }

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
        result.body = reply->readAll();
        result.json = QJsonDocument::fromJson(result.body).object();
        for (const auto &[name, value] : reply->rawHeaderPairs())
            result.headers.insert(name.toLower(), value);
        bodies << QString::fromUtf8(result.body);
        reply->deleteLater();
        return result;
    }

    Reply post(const QString &path, const QJsonObject &body, const QByteArray &type = "application/json")
    {
        return postBytes(path, QJsonDocument(body).toJson(QJsonDocument::Compact), type);
    }

    Reply postBytes(const QString &path, const QByteArray &bytes, const QByteArray &type = "application/json")
    {
        QNetworkRequest request(url(path));
        request.setHeader(QNetworkRequest::ContentTypeHeader, type);
        return finished(network.post(request, bytes));
    }

    Reply get(const QString &path) { return finished(network.get(QNetworkRequest(url(path)))); }

    // Raw bytes on a socket of its own; what came back before the server closed it (or a
    // second went by).
    QByteArray raw(const QByteArray &bytes, int waitMs = 2000)
    {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        if (!socket.waitForConnected(2000))
            return "not connected";
        socket.write(bytes);
        QByteArray received;
        QElapsedTimer timer;
        timer.start();
        while (socket.state() == QAbstractSocket::ConnectedState && timer.elapsed() < waitMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            socket.waitForReadyRead(10);
            received += socket.readAll();
        }
        return received + socket.readAll();
    }

    // A request as a page sends it, on a connection the test holds.
    QByteArray request(const QByteArray &path, const QJsonObject &body) const
    {
        const QByteArray json = QJsonDocument(body).toJson(QJsonDocument::Compact);
        return "POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port)
            + "\r\nContent-Type: application/json\r\nContent-Length: " + QByteArray::number(json.size()) + "\r\n\r\n" + json;
    }

    // A device of its own: a connection from `from` (any address of 127/8 reaches us).
    std::unique_ptr<QTcpSocket> device(const QString &from = QStringLiteral("127.0.0.1")) const
    {
        auto socket = std::make_unique<QTcpSocket>();
        socket->bind(QHostAddress(from));
        socket->connectToHost(QHostAddress::LocalHost, port);
        socket->waitForConnected(2000);
        return socket;
    }

    QString join(const QString &name)
    {
        const Reply joined = post(QStringLiteral("/api/join"), {{"code", "123456"}, {"name", name}});
        return joined.json.value(QStringLiteral("token")).toString();
    }
};

// What came back on `socket` within `waitMs`: one whole response at most, or what there was.
QByteArray responseOn(QTcpSocket &socket, int waitMs)
{
    QByteArray received;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < waitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        received += socket.readAll();
        const qsizetype end = received.indexOf("\r\n\r\n");
        const qsizetype field = received.toLower().indexOf("content-length: ");
        if (end >= 0 && field >= 0 && field < end
            && received.size() >= end + 4 + received.mid(field + 16, received.indexOf('\r', field) - field - 16).toInt())
            break;
        if (socket.state() != QAbstractSocket::ConnectedState)
            break;
    }
    return received;
}

} // namespace

class TestNetworkServer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pupilJoinsAnswersAndFinishes();
    void refusals_data();
    void refusals();
    void resumedAfterTheProgramStopped();
    void nothingRevealedBeforeTheEnd();
    void hostileConnections_data();
    void hostileConnections();
    void connectionsPerDeviceBounded();
    void ratesBounded();
    void resentAnswerWaitsForTheStoredLine_data();
    void resentAnswerWaitsForTheStoredLine();
    void diskFailureRefusesEveryWaitingAnswer();
    void silentConnectionsLockNobodyOut_data();
    void silentConnectionsLockNobodyOut();
};

void TestNetworkServer::pupilJoinsAnswersAndFinishes()
{
    Served served(questionnaire(3));
    const Reply info = served.post(QStringLiteral("/api/session"), {{"code", " 123456 "}});
    QCOMPARE(info.status, 200);
    QCOMPARE(info.json.value("questions").toInt(), 3);
    QCOMPARE(info.json.value("names").toArray().size(), 2);

    const Reply joined = served.post(QStringLiteral("/api/join"), {{"code", "123456"}, {"name", "  DURAND   Ann "}});
    QCOMPARE(joined.status, 200);
    const QString token = joined.json.value("token").toString();
    QCOMPARE(joined.json.value("name").toString(), QStringLiteral("DURAND Ann"));
    QCOMPARE(joined.json.value("count").toInt(), 3);

    const Reply first = served.post(QStringLiteral("/api/question"), {{"token", token}, {"position", 0}});
    QCOMPARE(first.status, 200);
    QCOMPARE(first.json.value("title").toString(), QStringLiteral("Question 1"));
    QCOMPARE(first.json.value("statement").toString(), QStringLiteral("Énoncé 1"));
    QCOMPARE(first.json.value("answers").toArray().size(), 4);
    QCOMPARE(first.json.value("picture").toInt(), 1);
    for (int position = 0; position < 3; ++position) {
        const Reply answered = served.post(QStringLiteral("/api/answer"),
                                           {{"token", token}, {"position", position}, {"choice", 1}, {"seq", position + 1}});
        QCOMPARE(answered.status, 200);
        QCOMPARE(answered.json.value("answered").toInt(), position + 1);
        // Acknowledged, so on the disk.
        QCOMPARE(served.session->journalSyncedLength(), served.session->journalLength());
    }
    const Reply again = served.post(QStringLiteral("/api/question"), {{"token", token}, {"position", 2}});
    QCOMPARE(again.json.value("chosen").toInt(), 1);

    const Reply picture = served.get(QStringLiteral("/picture/1?t=") + token);
    QCOMPARE(picture.status, 200);
    QCOMPARE(picture.body, QByteArray("GIF89a"));
    QVERIFY(picture.header("Content-Security-Policy").contains("sandbox"));

    const Reply finished = served.post(QStringLiteral("/api/finish"), {{"token", token}});
    QCOMPARE(finished.status, 200);
    const QJsonObject result = finished.json.value("result").toObject();
    // Answer 1 is right for the first question only; the third has no right answer.
    QCOMPARE(result.value("mark").toString(), QStringLiteral("10 / 20"));
    QCOMPARE(result.value("notMarked").toInt(), 1);
    const QJsonArray corrections = result.value("corrections").toArray();
    QCOMPARE(corrections.size(), 3);
    QCOMPARE(corrections[0].toObject().value("correction").toString(), QStringLiteral("Secret 1"));
    QVERIFY(corrections[0].toObject().value("correct").toBool());
    QCOMPARE(served.keeper.kept.size(), size_t(1));
    QCOMPARE(served.keeper.kept[0].answers, (std::vector<int>{1, 1, 1}));

    // The page and its files come from the program.
    const Reply page = served.get(QStringLiteral("/"));
    QCOMPARE(page.status, 200);
    QVERIFY(page.header("Content-Type").startsWith("text/html"));
    QVERIFY(page.header("Content-Security-Policy").contains("script-src 'self'"));
    QCOMPARE(served.get(QStringLiteral("/page.js")).status, 200);
    QCOMPARE(served.get(QStringLiteral("/page.css")).status, 200);
}

void TestNetworkServer::refusals_data()
{
    QTest::addColumn<QString>("request"); // "POST path body" or "GET path"; TOKEN, OTHER stand for tokens
    QTest::addColumn<int>("status");
    QTest::newRow("wrong code to join") << R"(POST /api/join {"code":"654321","name":"Zoé"})" << 403;
    QTest::newRow("code as a number") << R"(POST /api/join {"code":123456,"name":"Zoé"})" << 403;
    QTest::newRow("wrong code for the class list") << R"(POST /api/session {"code":"12345"})" << 403;
    QTest::newRow("no name") << R"(POST /api/join {"code":"123456","name":"  "})" << 422;
    QTest::newRow("name too long") << QStringLiteral(R"(POST /api/join {"code":"123456","name":"%1"})").arg(QString(61, QLatin1Char('x'))) << 422;
    QTest::newRow("made-up token") << R"(POST /api/state {"token":"AAAAAAAAAAAAAAAAAAAAAA"})" << 401;
    QTest::newRow("token changed by one letter") << R"(POST /api/state {"token":"TOKEN+"})" << 401;
    QTest::newRow("pupil's name as token") << R"(POST /api/state {"token":"Ann"})" << 401;
    QTest::newRow("counter as token") << R"(POST /api/state {"token":"0"})" << 401;
    QTest::newRow("token as a number") << R"(POST /api/state {"token":1})" << 401;
    QTest::newRow("position past the end") << R"(POST /api/question {"token":"TOKEN","position":3})" << 404;
    QTest::newRow("position not whole") << R"(POST /api/question {"token":"TOKEN","position":0.5})" << 404;
    QTest::newRow("choice past the answers") << R"(POST /api/answer {"token":"TOKEN","position":0,"choice":5,"seq":1})" << 404;
    QTest::newRow("choice as text") << R"(POST /api/answer {"token":"TOKEN","position":0,"choice":"1","seq":1})" << 400;
    QTest::newRow("no sequence") << R"(POST /api/answer {"token":"TOKEN","position":0,"choice":1})" << 400;
    QTest::newRow("huge sequence") << R"(POST /api/answer {"token":"TOKEN","position":0,"choice":1,"seq":1e300})" << 400;
    QTest::newRow("unknown action") << R"(POST /api/delete {"token":"TOKEN"})" << 404;
    QTest::newRow("not JSON") << R"(POST /api/state {"token":)" << 400;
    QTest::newRow("JSON array") << R"(POST /api/state ["TOKEN"])" << 400;
    QTest::newRow("body of a form") << "FORM /api/state {\"token\":\"TOKEN\"}" << 415;
    QTest::newRow("body over the bound") << QStringLiteral(R"(POST /api/state {"token":"TOKEN","x":"%1"})").arg(QString(5000, QLatin1Char('x'))) << 413;
    QTest::newRow("answer after the end") << R"(END POST /api/answer {"token":"TOKEN","position":0,"choice":1,"seq":1})" << 410;
    QTest::newRow("join after the end") << R"(END POST /api/join {"code":"123456","name":"Zoé"})" << 410;
    QTest::newRow("question after finishing") << R"(FINISH POST /api/question {"token":"TOKEN","position":0})" << 409;
    QTest::newRow("answer after finishing") << R"(FINISH POST /api/answer {"token":"TOKEN","position":0,"choice":1,"seq":9})" << 409;
    QTest::newRow("picture by path") << "GET /picture/..%2Fquiz.qcm?t=TOKEN" << 404;
    QTest::newRow("picture by absolute path") << "GET /picture/%2Fetc%2Fpasswd?t=TOKEN" << 404;
    QTest::newRow("picture number 0") << "GET /picture/0?t=TOKEN" << 404;
    QTest::newRow("picture number with zero") << "GET /picture/01?t=TOKEN" << 404;
    QTest::newRow("picture past the end") << "GET /picture/4?t=TOKEN" << 404;
    QTest::newRow("picture a question lacks") << "GET /picture/2?t=TOKEN" << 404;
    QTest::newRow("picture without a token") << "GET /picture/1" << 401;
    QTest::newRow("file of the program") << "GET /../CMakeLists.txt" << 404;
    QTest::newRow("resource path") << "GET /:/web/page.js" << 404;
    QTest::newRow("put") << R"(PUT /api/state {"token":"TOKEN"})" << 405;
}

void TestNetworkServer::refusals()
{
    QFETCH(QString, request);
    QFETCH(int, status);
    Served served(questionnaire(3));
    const QString token = served.join(QStringLiteral("Ann"));
    const QString other = served.join(QStringLiteral("Bob"));
    QVERIFY(!token.isEmpty() && !other.isEmpty());
    if (request.startsWith(QLatin1String("END "))) {
        request = request.mid(4);
        served.session->end();
    }
    if (request.startsWith(QLatin1String("FINISH "))) {
        request = request.mid(7);
        QCOMPARE(served.post(QStringLiteral("/api/finish"), {{"token", token}}).status, 200);
    }
    request.replace(QLatin1String("TOKEN"), token);
    const QString verb = request.section(QLatin1Char(' '), 0, 0);
    const QString path = request.section(QLatin1Char(' '), 1, 1);
    const QByteArray body = request.section(QLatin1Char(' '), 2).toUtf8();
    Reply reply;
    if (verb == QLatin1String("GET")) {
        reply = served.get(path);
    } else if (verb == QLatin1String("FORM")) {
        reply = served.postBytes(path, body, "application/x-www-form-urlencoded");
    } else if (verb == QLatin1String("PUT")) {
        QNetworkRequest put(served.url(path));
        put.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
        reply = served.finished(served.network.put(put, body));
    } else {
        reply = served.postBytes(path, body);
    }
    QCOMPARE(reply.status, status);
    QVERIFY2(!reply.json.value("error").toString().isEmpty(), reply.body.constData());
    // Nobody's run changed but by its own token.
    QCOMPARE(served.session->pupil(1).run.answeredCount(), 0);
}

void TestNetworkServer::resumedAfterTheProgramStopped()
{
    auto served = std::make_unique<Served>(questionnaire(4, true));
    const QString token = served->join(QStringLiteral("Ann"));
    for (int position : {0, 2})
        QCOMPARE(served->post(QStringLiteral("/api/answer"), {{"token", token}, {"position", position}, {"choice", 2}, {"seq", position + 1}}).status, 200);
    const quint16 port = served->port;
    const std::vector<int> answers = served->session->pupil(0).run.answers();
    // The program stops: no end, no keeping; only the journal remains.
    served->server.reset();
    served->api.reset();
    served->session.reset();

    served->session = NetworkSession::resume(served->journal(), served->keeper, served->clock.function());
    served->serve({}, {}, port);
    QCOMPARE(served->port, port);
    const Reply state = served->post(QStringLiteral("/api/state"), {{"token", token}});
    QCOMPARE(state.status, 200);
    QCOMPARE(state.json.value("answered").toArray(), (QJsonArray{true, false, true, false}));
    QCOMPARE(state.json.value("position").toInt(), 2);
    const Reply question = served->post(QStringLiteral("/api/question"), {{"token", token}, {"position", 2}});
    QCOMPARE(question.json.value("chosen").toInt(), 2);
    QCOMPARE(served->post(QStringLiteral("/api/finish"), {{"token", token}}).status, 200);
    QCOMPARE(served->keeper.kept.size(), size_t(1));
    QCOMPARE(served->keeper.kept[0].answers, answers);
}

void TestNetworkServer::nothingRevealedBeforeTheEnd()
{
    QStringList lines = questionnaire(5, true);
    Served served(lines);
    const QString token = served.join(QStringLiteral("Ann"));
    served.post(QStringLiteral("/api/session"), {{"code", "123456"}});
    served.post(QStringLiteral("/api/state"), {{"token", token}});
    for (int position = 0; position < 5; ++position) {
        const Reply shown = served.post(QStringLiteral("/api/question"), {{"token", token}, {"position", position}});
        // Exactly what the pupil sees: "several" says only whether the boxes are check boxes.
        QCOMPARE(shown.json.keys(), (QStringList{"answers", "chosen", "count", "picture", "position", "several",
                                                 "statement", "ticked", "title"}));
        served.post(QStringLiteral("/api/answer"), {{"token", token}, {"position", position}, {"choice", 1 + position % 3}, {"seq", position + 1}});
    }
    served.post(QStringLiteral("/api/state"), {{"token", token}});
    const QString api = served.bodies.join(QLatin1Char('\n'));
    QVERIFY(!api.contains(QLatin1String("Secret")));
    QVERIFY(!api.contains(QLatin1String("\"right\"")));
    QVERIFY(!api.contains(QLatin1String("\"result\"")));
    QVERIFY(!api.contains(QLatin1String("\"mark\"")));
    for (const QString &asset : {QStringLiteral("/"), QStringLiteral("/page.js"), QStringLiteral("/page.css")})
        QVERIFY(!served.get(asset).body.contains("Secret"));
    // Once finished, and only then.
    const Reply finished = served.post(QStringLiteral("/api/finish"), {{"token", token}});
    QVERIFY(finished.body.contains("Secret 1"));
    QVERIFY(finished.body.contains("\"right\""));
}

void TestNetworkServer::hostileConnections_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QByteArray>("answer"); // the start of what comes back; empty: closed
    const QByteArray head = "POST /api/state HTTP/1.1\r\nHost: 127.0.0.1:PORT\r\nContent-Type: application/json\r\n";
    QTest::newRow("body of a megabyte") << head + "Content-Length: 1048576\r\n\r\n" + QByteArray(1048576, 'x')
                                        << QByteArray("HTTP/1.1 413");
    QTest::newRow("header of 100 KB") << head + "X-Filler: " + QByteArray(100000, 'a') + "\r\n\r\n" << QByteArray("HTTP/1.1 413");
    QTest::newRow("endless chunks") << head + "Transfer-Encoding: chunked\r\n\r\n" + QByteArray("1000\r\n") + QByteArray(4096, 'y') + "\r\n"
                                           + QByteArray("1000\r\n") + QByteArray(4096, 'y') + "\r\n" + QByteArray("1000\r\n") + QByteArray(4096, 'y') + "\r\n"
                                           + QByteArray("1000\r\n") + QByteArray(4096, 'y') + "\r\n" + QByteArray("1000\r\n") + QByteArray(4096, 'y')
                                    << QByteArray("HTTP/1.1 413");
    QTest::newRow("request that never ends") << head + "Content-Length: 100\r\n\r\n{" << QByteArray("HTTP/1.1 408");
    QTest::newRow("not HTTP") << QByteArray("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03 garbage\r\n\r\n", 22) << QByteArray();
    QTest::newRow("other host") << QByteArray("GET / HTTP/1.1\r\nHost: evil.example:80\r\n\r\n") << QByteArray("HTTP/1.1 421");
    // No socket is opened past HTTP: the request is answered as the page it asks for.
    QTest::newRow("upgrade to a socket") << QByteArray("GET / HTTP/1.1\r\nHost: 127.0.0.1:PORT\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                                                       "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n")
                                         << QByteArray("HTTP/1.1 200");
}

void TestNetworkServer::hostileConnections()
{
    QFETCH(QByteArray, sent);
    QFETCH(QByteArray, answer);
    SessionServer::Limits limits;
    limits.requestMs = 500;
    Served served(questionnaire(2), {}, limits);
    const QString token = served.join(QStringLiteral("Ann"));
    const int open = served.server->connectionCount(); // the test's own client keeps one
    sent.replace("PORT", QByteArray::number(served.port));
    const QByteArray received = served.raw(sent, 3000);
    if (answer.isEmpty())
        QVERIFY2(!received.startsWith("HTTP/1.1 2"), received.left(200).constData());
    else
        QVERIFY2(received.startsWith(answer), received.left(200).constData());
    // The connection was let go, and everyone else is still served.
    QTRY_COMPARE(served.server->connectionCount(), open);
    QCOMPARE(served.post(QStringLiteral("/api/state"), {{"token", token}}).status, 200);
}

void TestNetworkServer::connectionsPerDeviceBounded()
{
    SessionServer::Limits limits;
    limits.connectionsPerPeer = 5;
    Served served(questionnaire(2), {}, limits);
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    for (int i = 0; i < 8; ++i) {
        sockets.push_back(std::make_unique<QTcpSocket>());
        sockets.back()->connectToHost(QHostAddress::LocalHost, served.port);
        QVERIFY(sockets.back()->waitForConnected(2000));
    }
    QTRY_COMPARE(served.server->connectionCount(), 5);
    sockets.clear();
    QTRY_COMPARE(served.server->connectionCount(), 0);
    QCOMPARE(served.get(QStringLiteral("/")).status, 200);
}

void TestNetworkServer::ratesBounded()
{
    SessionApi::Limits limits;
    limits.pupilBurst = 5;
    limits.pupilPerSecond = 0.01;
    limits.wrongCodeBurst = 3;
    limits.wrongCodePerSecond = 0.01;
    Served served(questionnaire(2), limits);
    const QString token = served.join(QStringLiteral("Ann"));
    QList<int> statuses;
    for (int i = 0; i < 7; ++i)
        statuses << served.post(QStringLiteral("/api/state"), {{"token", token}}).status;
    QCOMPARE(statuses, (QList<int>{200, 200, 200, 200, 200, 429, 429}));
    statuses.clear();
    for (int i = 0; i < 5; ++i)
        statuses << served.post(QStringLiteral("/api/join"), {{"code", QString::number(100000 + i)}, {"name", "Zoé"}}).status;
    QCOMPARE(statuses, (QList<int>{403, 403, 403, 429, 429}));
    // Guessing tokens draws on the same turns as guessing codes.
    QCOMPARE(served.post(QStringLiteral("/api/state"), {{"token", QStringLiteral("guess")}}).status, 429);
}

void TestNetworkServer::resentAnswerWaitsForTheStoredLine_data()
{
    // The first request writes a line; the second, sent while that line is not yet on the disk,
    // writes none but acknowledges it all the same.
    QTest::addColumn<QString>("first");   // "answer seq choice", "finish"
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("firstDropped"); // the first connection fails before its answer: the page sends again
    QTest::newRow("newer seq, same choice, second connection") << "answer 20003 2" << "answer 20004 2" << false;
    QTest::newRow("same seq, second connection") << "answer 20003 2" << "answer 20003 2" << false;
    QTest::newRow("older seq, other choice") << "answer 20003 2" << "answer 20002 3" << false;
    QTest::newRow("page's retry after a network failure") << "answer 20003 2" << "answer 20003 2" << true;
    QTest::newRow("finish on a finished run") << "finish" << "finish" << false;
    QTest::newRow("finish again after a network failure") << "finish" << "finish" << true;
}

void TestNetworkServer::resentAnswerWaitsForTheStoredLine()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, firstDropped);
    Served served(questionnaire(3));
    const QString token = served.join(QStringLiteral("Ann"));
    auto bytesOf = [&](const QString &what) {
        const QStringList words = what.split(QLatin1Char(' '));
        if (words[0] == QLatin1String("finish"))
            return served.request("/api/finish", {{"token", token}});
        return served.request("/api/answer", {{"token", token}, {"position", 0}, {"choice", words[2].toInt()},
                                              {"seq", words[1].toDouble()}});
    };
    auto a = served.device();
    auto b = served.device();
    QVERIFY(a->state() == QAbstractSocket::ConnectedState && b->state() == QAbstractSocket::ConnectedState);

    served.disk.hold();
    const qint64 before = served.session->journalLength();
    a->write(bytesOf(first));
    QTRY_VERIFY(served.session->journalLength() > before);
    const qint64 written = served.session->journalLength();
    if (firstDropped)
        a->abort();
    b->write(bytesOf(second));
    // Not on the disk yet: no acknowledgement on either connection.
    QByteArray onB = responseOn(*b, 300);
    QVERIFY2(onB.isEmpty(), onB.constData());
    if (!firstDropped)
        QVERIFY(a->bytesAvailable() == 0 && responseOn(*a, 10).isEmpty());
    QCOMPARE(served.session->journalLength(), written);

    served.disk.release();
    onB = responseOn(*b, 2000);
    QVERIFY2(onB.startsWith("HTTP/1.1 200"), onB.constData());
    if (!firstDropped) {
        const QByteArray onA = responseOn(*a, 2000);
        QVERIFY2(onA.startsWith("HTTP/1.1 200"), onA.constData());
    }
    // The stored line on the disk: the same again writes nothing and is answered at once.
    served.disk.hold();
    b->write(bytesOf(second));
    onB = responseOn(*b, 1000);
    QVERIFY2(onB.startsWith("HTTP/1.1 200"), onB.constData());
    QCOMPARE(served.session->journalLength(), written);
    QCOMPARE(served.session->pupil(0).run.answers()[0] != 0, first.startsWith(QLatin1String("answer")));
}

void TestNetworkServer::diskFailureRefusesEveryWaitingAnswer()
{
    Served served(questionnaire(3));
    const QString ann = served.join(QStringLiteral("Ann"));
    const QString bob = served.join(QStringLiteral("Bob"));
    auto a = served.device();
    auto b = served.device();
    const QByteArray fromAnn = served.request("/api/answer", {{"token", ann}, {"position", 0}, {"choice", 1}, {"seq", 1}});
    const QByteArray fromBob = served.request("/api/answer", {{"token", bob}, {"position", 0}, {"choice", 2}, {"seq", 1}});
    served.disk.hold();
    a->write(fromAnn);
    QTRY_VERIFY(served.session->pupil(0).run.answeredCount() == 1);
    const qint64 annsLine = served.session->journalLength();
    b->write(fromBob);
    QTRY_VERIFY(served.session->pupil(1).run.answeredCount() == 1);
    // The sync that held Ann's line failed: no later one is believed before the lines are
    // written again, so Bob's page is told to try again too.
    served.server->journalSynced(annsLine, QStringLiteral("Impossible d'écrire le journal."));
    for (QTcpSocket *socket : {a.get(), b.get()}) {
        const QByteArray refused = responseOn(*socket, 1000);
        QVERIFY2(refused.startsWith("HTTP/1.1 503") && refused.contains("Retry-After: 2"), refused.constData());
    }
    served.disk.release();
    a->write(fromAnn);
    b->write(fromBob);
    for (QTcpSocket *socket : {a.get(), b.get()})
        QVERIFY(responseOn(*socket, 2000).startsWith("HTTP/1.1 200"));
}

void TestNetworkServer::silentConnectionsLockNobodyOut_data()
{
    QTest::addColumn<int>("silentMs");
    QTest::addColumn<int>("devices");
    QTest::addColumn<QByteArray>("sent"); // what each connection sends first, then nothing more
    // Four devices would take every slot; silent ones go after the short limit.
    QTest::newRow("silent, let go after a moment") << 300 << 4 << QByteArray();
    // Before that limit, a newcomer takes the place of the busiest device's oldest connection.
    QTest::newRow("silent, newcomer makes room") << 60000 << 4 << QByteArray();
    QTest::newRow("kept alive after one page, newcomer makes room") << 60000 << 4
                                                                     << QByteArray("GET /page.css HTTP/1.1\r\nHost: HOST\r\n\r\n");
    QTest::newRow("requests sent slowly, newcomer makes room") << 60000 << 4
                                                                << QByteArray("POST /api/state HTTP/1.1\r\nHost: HOST\r\n");
    QTest::newRow("eight devices") << 60000 << 8 << QByteArray();
}

void TestNetworkServer::silentConnectionsLockNobodyOut()
{
    QFETCH(int, silentMs);
    QFETCH(int, devices);
    QFETCH(QByteArray, sent);
    SessionServer::Limits limits;
    limits.requestMs = 60000;
    limits.slowRequestMs = 200;
    limits.connections = 32;
    limits.connectionsPerPeer = 8;
    limits.pupilSlots = 8;
    limits.silentMs = silentMs;
    Served served(questionnaire(2), {}, limits);
    // A pupil who joined, on a connection that is now a pupil's.
    const QString token = served.join(QStringLiteral("Ann"));
    QCOMPARE(served.post(QStringLiteral("/api/state"), {{"token", token}}).status, 200);
    const int pupils = served.server->connectionCount();

    std::vector<std::unique_ptr<QTcpSocket>> held;
    for (int device = 0; device < devices; ++device) {
        for (int i = 0; i < limits.connectionsPerPeer; ++i) {
            held.push_back(served.device(QStringLiteral("127.0.0.%1").arg(10 + device)));
            held.back()->write(QByteArray(sent).replace("HOST", "127.0.0.1:" + QByteArray::number(served.port)));
            if (sent.startsWith("GET"))
                QVERIFY(responseOn(*held.back(), 2000).startsWith("HTTP/1.1 200"));
        }
    }
    QTRY_VERIFY(served.server->connectionCount() >= std::min(limits.connections - limits.pupilSlots, pupils + 1));
    QVERIFY(served.server->connectionCount() <= limits.connections - limits.pupilSlots + pupils);
    QTest::qWait(2 * limits.slowRequestMs);
    if (silentMs < 1000)
        QTRY_COMPARE_WITH_TIMEOUT(served.server->connectionCount(), pupils, 3000);

    // A new device joins at once, and the pupil answers on their own connection.
    auto newcomer = served.device(QStringLiteral("127.0.0.99"));
    newcomer->write(served.request("/api/join", {{"code", "123456"}, {"name", "Zoé"}}));
    const QByteArray joined = responseOn(*newcomer, 2000);
    QVERIFY2(joined.startsWith("HTTP/1.1 200"), joined.left(200).constData());
    QCOMPARE(served.post(QStringLiteral("/api/answer"), {{"token", token}, {"position", 0}, {"choice", 1}, {"seq", 1}}).status, 200);
    QCOMPARE(served.session->pupilCount(), 2);
}

QTEST_GUILESS_MAIN(TestNetworkServer)
#include "tst_networkserver.moc"
