// The session's handlers called directly, without a socket: what only a request written by hand
// reaches (another site's Host or Origin, time stepped for the rates) and what a pupil sees at
// the end under each setting.
#include "classroom/network/networksession.h"
#include "classroom/network/ratelimiter.h"
#include "classroom/network/sessionapi.h"
#include "classroom/network/personalcodes.h"
#include "networktesting.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace NetworkTesting;

namespace {

struct Handlers
{
    QTemporaryDir dir;
    ListKeeper keeper;
    StepClock clock;
    std::unique_ptr<NetworkSession> session;
    std::unique_ptr<SessionApi> api;

    explicit Handlers(const QStringList &lines)
    {
        NetworkSessionStart start;
        start.lines = lines;
        start.code = QStringLiteral("123456");
        session = NetworkSession::begin(dir.filePath(QStringLiteral("j.journal")), start, keeper, clock.function());
        api = std::make_unique<SessionApi>(*session, nullptr);
        api->setHost(QStringLiteral("10.0.0.5:8080"));
    }

    ApiResponse post(const QString &path, const QJsonObject &body, const QString &origin = QString())
    {
        ApiRequest request;
        request.method = ApiRequest::Method::Post;
        request.path = path;
        request.body = QJsonDocument(body).toJson();
        request.host = QStringLiteral("10.0.0.5:8080");
        request.origin = origin;
        request.contentType = "application/json";
        request.peer = QStringLiteral("10.0.0.9");
        return api->handle(request);
    }

    static QJsonObject json(const ApiResponse &response) { return QJsonDocument::fromJson(response.body).object(); }
};

QStringList withEnd(const QString &end, int questions, bool rightAnswers = true)
{
    QStringList lines = questionnaire(questions);
    lines.replace(0, QStringLiteral("PASSATION fin=") + end);
    if (!rightAnswers)
        lines.replaceInStrings(QRegularExpression(QStringLiteral("^REPONSE \\d")), QStringLiteral("REPONSE 0"));
    return lines;
}

} // namespace

class TestNetworkApi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void onlyThisAddressAndItsPages_data();
    void onlyThisAddressAndItsPages();
    void rateRefills_data();
    void rateRefills();
    void rateRemembersBoundedKeys();
    void endShowsWhatTheSettingsAllow_data();
    void endShowsWhatTheSettingsAllow();
    void journalFailureAsksToSendAgain();
    void correctionsWaitForTheTeacher_data();
    void correctionsWaitForTheTeacher();
    void sessionTellsNoRunAndNoNamesUnderCodes_data();
    void sessionTellsNoRunAndNoNamesUnderCodes();
    void aSecondDeviceWaitsWithoutTheCopy_data();
    void aSecondDeviceWaitsWithoutTheCopy();
    void answerSets_data();
    void answerSets();
    void feedbackOnlyWhenCorrectionsAre_data();
    void feedbackOnlyWhenCorrectionsAre();
};

void TestNetworkApi::onlyThisAddressAndItsPages_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("origin");
    QTest::addColumn<int>("status");
    QTest::newRow("the page itself") << "10.0.0.5:8080" << "http://10.0.0.5:8080" << 200;
    QTest::newRow("no origin (a plain load)") << "10.0.0.5:8080" << "" << 200;
    QTest::newRow("host in capitals") << "10.0.0.5:8080" << "HTTP://10.0.0.5:8080" << 200;
    QTest::newRow("a renamed server") << "evil.example:8080" << "http://evil.example:8080" << 421;
    QTest::newRow("another port") << "10.0.0.5:8081" << "" << 421;
    QTest::newRow("no host") << "" << "" << 421;
    QTest::newRow("another site's page") << "10.0.0.5:8080" << "http://evil.example" << 403;
    QTest::newRow("a local file") << "10.0.0.5:8080" << "null" << 403;
}

void TestNetworkApi::onlyThisAddressAndItsPages()
{
    QFETCH(QString, host);
    QFETCH(QString, origin);
    QFETCH(int, status);
    Handlers handlers(questionnaire(2));
    ApiRequest request;
    request.method = ApiRequest::Method::Post;
    request.path = QStringLiteral("/api/session");
    request.body = R"({"code":"123456"})";
    request.contentType = "application/json";
    request.host = host;
    request.origin = origin;
    const ApiResponse response = handlers.api->handle(request);
    QCOMPARE(response.status, status);
    // The class list goes to the session's own pages only.
    QCOMPARE(response.body.contains("questions"), status == 200);
}

void TestNetworkApi::rateRefills_data()
{
    QTest::addColumn<QList<int>>("times"); // milliseconds of each request
    QTest::addColumn<QList<bool>>("allowed");
    // Two at once, one more a second.
    QTest::newRow("burst then empty") << QList<int>{0, 0, 0} << QList<bool>{true, true, false};
    QTest::newRow("refilled after a second") << QList<int>{0, 0, 0, 1000} << QList<bool>{true, true, false, true};
    QTest::newRow("half a second is not a turn") << QList<int>{0, 0, 500} << QList<bool>{true, true, false};
    QTest::newRow("never above the burst") << QList<int>{0, 10000, 10000, 10000} << QList<bool>{true, true, true, false};
    QTest::newRow("refused tries do not count") << QList<int>{0, 0, 0, 0, 0, 1000} << QList<bool>{true, true, false, false, false, true};
    QTest::newRow("clock going back") << QList<int>{5000, 5000, 0, 6000} << QList<bool>{true, true, false, true};
}

void TestNetworkApi::rateRefills()
{
    QFETCH(QList<int>, times);
    QFETCH(QList<bool>, allowed);
    RateLimiter limiter(2, 1);
    QList<bool> actual;
    for (int time : times)
        actual << limiter.allow(QStringLiteral("page"), time);
    QCOMPARE(actual, allowed);
}

void TestNetworkApi::rateRemembersBoundedKeys()
{
    RateLimiter limiter(2, 1);
    for (int i = 0; i < RateLimiter::MaxKeys; ++i)
        QVERIFY(limiter.allow(QString::number(i), 0));
    // Every bucket used: a new device waits until the old ones are full again.
    QVERIFY(!limiter.allow(QStringLiteral("new"), 10));
    QVERIFY(limiter.allow(QStringLiteral("new"), 2000));
    QVERIFY(limiter.size() <= RateLimiter::MaxKeys);
}

void TestNetworkApi::endShowsWhatTheSettingsAllow_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("keys");
    QTest::newRow("nothing") << withEnd(QStringLiteral("rien"), 3) << QStringList{};
    QTest::newRow("the mark") << withEnd(QStringLiteral("note"), 3) << QStringList{"mark", "marked", "notMarked", "right"};
    QTest::newRow("mark and corrections") << withEnd(QStringLiteral("corrections"), 3)
                                          << QStringList{"corrections", "mark", "marked", "notMarked", "right"};
    QTest::newRow("no question marked") << withEnd(QStringLiteral("note"), 3, false) << QStringList{};
    QTest::newRow("corrections, none marked") << withEnd(QStringLiteral("corrections"), 3, false) << QStringList{"corrections"};
}

void TestNetworkApi::endShowsWhatTheSettingsAllow()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, keys);
    Handlers handlers(lines);
    const QString token = Handlers::json(handlers.post(QStringLiteral("/api/join"), {{"code", "123456"}, {"name", "Ann"}}))
                              .value("token").toString();
    handlers.post(QStringLiteral("/api/answer"), {{"token", token}, {"position", 0}, {"choice", 2}, {"seq", 1}});
    const QJsonObject state = Handlers::json(handlers.post(QStringLiteral("/api/finish"), {{"token", token}}));
    QVERIFY(state.value("finished").toBool());
    const QJsonObject result = state.value("result").toObject();
    QCOMPARE(result.keys(), keys);
    if (keys.contains(QLatin1String("corrections"))) {
        const QJsonObject first = result.value("corrections").toArray().at(0).toObject();
        QCOMPARE(first.value("given").toString(), QStringLiteral("Réponse 1.2"));
        QCOMPARE(first.value("correction").toString(), QStringLiteral("Secret 1"));
        QCOMPARE(result.value("corrections").toArray().at(1).toObject().value("given"), QJsonValue());
    }
    // The same after a reload.
    const QJsonObject again = Handlers::json(handlers.post(QStringLiteral("/api/state"), {{"token", token}}));
    QCOMPARE(again.value("result").toObject(), result);
}

void TestNetworkApi::journalFailureAsksToSendAgain()
{
    Handlers handlers(questionnaire(2));
    QStringList told;
    handlers.api->setFailureListener([&told](const QString &reason) { told << reason; });
    const QString token = Handlers::json(handlers.post(QStringLiteral("/api/join"), {{"code", "123456"}, {"name", "Ann"}}))
                              .value("token").toString();
    ApiResponse response;
    {
        FileSizeLimit full(rlim_t(QFileInfo(handlers.session->journalPath()).size()));
        response = handlers.post(QStringLiteral("/api/answer"), {{"token", token}, {"position", 0}, {"choice", 1}, {"seq", 1}});
    }
    QCOMPARE(response.status, 503);
    QVERIFY(std::find(response.headers.begin(), response.headers.end(),
                      std::pair<QByteArray, QByteArray>("Retry-After", "2")) != response.headers.end());
    QCOMPARE(told.size(), 1);
    QVERIFY2(told[0].startsWith(QStringLiteral("Impossible d'écrire le journal de la passation")), qPrintable(told[0]));
    QCOMPARE(handlers.session->pupil(0).run.answeredCount(), 0);
    // Sent again, as the page does.
    response = handlers.post(QStringLiteral("/api/answer"), {{"token", token}, {"position", 0}, {"choice", 1}, {"seq", 1}});
    QCOMPARE(response.status, 200);
    QCOMPARE(handlers.session->pupil(0).run.answeredCount(), 1);
}

void TestNetworkApi::correctionsWaitForTheTeacher_data()
{
    QTest::addColumn<QString>("when");
    QTest::addColumn<QString>("teacher");
    QTest::addColumn<bool>("shown");
    QTest::newRow("end of the run, still going") << QStringLiteral("fin-passation") << QString() << false;
    QTest::newRow("end of the run, shown by the teacher") << QStringLiteral("fin-passation") << QStringLiteral("show") << true;
    QTest::newRow("end of the run, shown, session resumed")
        << QStringLiteral("fin-passation") << QStringLiteral("show, resume") << true;
    QTest::newRow("end of the run, ended") << QStringLiteral("fin-passation") << QStringLiteral("end") << true;
    QTest::newRow("never, ended") << QStringLiteral("jamais") << QStringLiteral("end") << false;
}

void TestNetworkApi::correctionsWaitForTheTeacher()
{
    QFETCH(QString, when);
    QFETCH(QString, teacher);
    QFETCH(bool, shown);
    QStringList lines = questionnaire(3);
    lines.insert(0, QStringLiteral("PASSATION corrections=") + when);
    Handlers handlers(lines);
    auto tokenOf = [&handlers](const QString &name) {
        return Handlers::json(handlers.post(QStringLiteral("/api/join"), {{"code", "123456"}, {"name", name}}))
            .value("token").toString();
    };
    const QString ann = tokenOf(QStringLiteral("Ann"));
    const QString bob = tokenOf(QStringLiteral("Bob"));
    handlers.post(QStringLiteral("/api/answer"), {{"token", ann}, {"position", 0}, {"choice", 3}, {"seq", 1}});
    // Ann finishes while Bob still answers: her page, reloaded by anyone, shows her mark only.
    QList<QByteArray> bodies{handlers.post(QStringLiteral("/api/finish"), {{"token", ann}}).body,
                             handlers.post(QStringLiteral("/api/state"), {{"token", ann}}).body,
                             handlers.post(QStringLiteral("/api/question"), {{"token", bob}, {"position", 0}}).body};
    const QJsonObject waiting = Handlers::json(handlers.post(QStringLiteral("/api/state"), {{"token", ann}}));
    QCOMPARE(waiting.value("result").toObject().keys(),
             when == QLatin1String("jamais") ? QStringList({"mark", "marked", "notMarked", "right"})
                                             : QStringList({"correctionsLater", "mark", "marked", "notMarked", "right"}));

    if (teacher.startsWith(QLatin1String("show")))
        handlers.session->showCorrections();
    if (teacher == QLatin1String("end"))
        handlers.session->end();
    if (teacher.endsWith(QLatin1String("resume"))) {
        const QString journal = handlers.session->journalPath();
        handlers.api.reset();
        handlers.session.reset();
        handlers.session = NetworkSession::resume(journal, handlers.keeper, handlers.clock.function());
        handlers.api = std::make_unique<SessionApi>(*handlers.session, nullptr);
        handlers.api->setHost(QStringLiteral("10.0.0.5:8080"));
    }
    bodies << handlers.post(QStringLiteral("/api/state"), {{"token", ann}}).body;
    const QJsonObject result = Handlers::json(handlers.post(QStringLiteral("/api/state"), {{"token", ann}}))
                                   .value("result").toObject();
    QCOMPARE(result.contains(QLatin1String("corrections")), shown);
    // Still to come only while nobody has released them.
    QCOMPARE(result.contains(QLatin1String("correctionsLater")), teacher.isEmpty());
    if (shown) {
        const QJsonObject first = result.value("corrections").toArray().at(0).toObject();
        QCOMPARE(first.value("correction").toString(), QStringLiteral("Secret 1"));
        QCOMPARE(first.value("right").toString(), QStringLiteral("Réponse 1.1"));
        bodies.removeLast();
    }
    // No correction and no right answer in anything sent before the teacher allowed it.
    for (const QByteArray &body : bodies) {
        QVERIFY2(!body.contains("Secret") && !body.contains("\"right\":\"R"), body.constData());
        QVERIFY2(!body.contains("\"corrections\""), body.constData());
    }
}


void TestNetworkApi::answerSets_data()
{
    // Each request is {position, seq} with "choices" or "choice"; the last one's status, then
    // what the run holds at the question of the last request and how many answer lines the
    // journal got.
    QTest::addColumn<QJsonArray>("requests");
    QTest::addColumn<int>("status");
    QTest::addColumn<QList<int>>("ticked");
    QTest::addColumn<int>("lines");
    auto set = [](int position, QJsonArray choices, int seq) {
        return QJsonObject{{"position", position}, {"choices", choices}, {"seq", seq}};
    };
    QTest::newRow("two right answers ticked") << QJsonArray{set(0, {4, 2}, 1)} << 200 << QList<int>{2, 4} << 1;
    QTest::newRow("the empty set takes them back")
        << QJsonArray{set(0, {2, 4}, 1), set(0, {}, 2)} << 200 << QList<int>{} << 2;
    QTest::newRow("answer 6") << QJsonArray{set(0, {2, 6}, 1)} << 400 << QList<int>{} << 0;
    QTest::newRow("answer 0") << QJsonArray{set(0, {0}, 1)} << 400 << QList<int>{} << 0;
    QTest::newRow("a place the question does not have")
        << QJsonArray{set(0, {2, 5}, 1)} << 404 << QList<int>{} << 0;
    QTest::newRow("the same answer twice") << QJsonArray{set(0, {2, 2}, 1)} << 400 << QList<int>{} << 0;
    QTest::newRow("not numbers") << QJsonArray{set(0, {"2", 4}, 1)} << 400 << QList<int>{} << 0;
    QTest::newRow("choice and choices together")
        << QJsonArray{QJsonObject{{"position", 0}, {"choice", 2}, {"choices", QJsonArray{2}}, {"seq", 1}}} << 400
        << QList<int>{} << 0;
    QTest::newRow("two ticks refused, the answer before stands")
        << QJsonArray{set(1, {3}, 1), set(1, {1, 3}, 2)} << 422 << QList<int>{3} << 1;
    QTest::newRow("one answer as today on a one-answer question")
        << QJsonArray{QJsonObject{{"position", 1}, {"choice", 3}, {"seq", 1}}} << 200 << QList<int>{3} << 1;
    QTest::newRow("the same sequence sent again")
        << QJsonArray{set(0, {2}, 1), set(0, {2, 4}, 2), set(0, {2, 4}, 2)} << 200 << QList<int>{2, 4} << 2;
    QTest::newRow("an older sequence comes late")
        << QJsonArray{set(0, {2}, 1), set(0, {2, 4}, 3), set(0, {1}, 2)} << 200 << QList<int>{2, 4} << 2;
    QTest::newRow("the same set under a new sequence writes nothing")
        << QJsonArray{set(0, {2, 4}, 1), set(0, {4, 2}, 2)} << 200 << QList<int>{2, 4} << 1;
}

void TestNetworkApi::answerSets()
{
    QFETCH(QJsonArray, requests);
    QFETCH(int, status);
    QFETCH(QList<int>, ticked);
    QFETCH(int, lines);
    Handlers handlers(severalQuestionnaire());
    const QString token = Handlers::json(handlers.post(QStringLiteral("/api/join"), {{"code", "123456"}, {"name", "Ann"}}))
                              .value("token").toString();
    ApiResponse response;
    for (const QJsonValue &request : requests) {
        QJsonObject body = request.toObject();
        body.insert("token", token);
        response = handlers.post(QStringLiteral("/api/answer"), body);
    }
    QCOMPARE(response.status, status);
    // Acknowledged only once the line that holds it, this request's or an earlier one's, is on the disk.
    if (status == 200)
        QCOMPARE(response.durableAt, handlers.session->journalLength());
    const int position = requests.last().toObject().value("position").toInt();
    const QJsonObject question =
        Handlers::json(handlers.post(QStringLiteral("/api/question"), {{"token", token}, {"position", position}}));
    QList<int> shown;
    for (const QJsonValue &place : question.value("ticked").toArray())
        shown << place.toInt();
    QCOMPARE(shown, ticked);
    QCOMPARE(question.value("several").toBool(), position != 1);
    QCOMPARE(question.value("chosen").toInt(), ticked.isEmpty() ? 0 : ticked.first());
    QFile journal(handlers.session->journalPath());
    QVERIFY(journal.open(QIODevice::ReadOnly));
    QCOMPARE(int(journal.readAll().count("\"k\":\"answer\"")), lines);
}

void TestNetworkApi::feedbackOnlyWhenCorrectionsAre_data()
{
    QTest::addColumn<QString>("when");
    QTest::addColumn<bool>("shown");
    QTest::newRow("after the copy") << QStringLiteral("apres-copie") << true;
    QTest::newRow("at the end of the run, still going") << QStringLiteral("fin-passation") << false;
    QTest::newRow("never") << QStringLiteral("jamais") << false;
}

void TestNetworkApi::feedbackOnlyWhenCorrectionsAre()
{
    QFETCH(QString, when);
    QFETCH(bool, shown);
    Handlers handlers(severalQuestionnaire(when));
    const QString token = Handlers::json(handlers.post(QStringLiteral("/api/join"), {{"code", "123456"}, {"name", "Ann"}}))
                              .value("token").toString();
    QList<QByteArray> bodies;
    auto post = [&](const QString &path, QJsonObject body) {
        body.insert("token", token);
        const QByteArray answer = handlers.post(path, body).body;
        bodies << answer;
        return QJsonDocument::fromJson(answer).object();
    };
    for (int position = 0; position < 3; ++position)
        post(QStringLiteral("/api/question"), {{"position", position}});
    // Question 1: 2 and 3 ticked (one right, one wrong); question 2: 1, wrong; question 3: its three right answers.
    post(QStringLiteral("/api/answer"), {{"position", 0}, {"choices", QJsonArray{3, 2}}, {"seq", 1}});
    post(QStringLiteral("/api/answer"), {{"position", 1}, {"choice", 1}, {"seq", 2}});
    post(QStringLiteral("/api/answer"), {{"position", 2}, {"choices", QJsonArray{1, 2, 3}}, {"seq", 3}});
    const QJsonObject result = post(QStringLiteral("/api/finish"), {}).value("result").toObject();
    QCOMPARE(result.value("right").toInt(), 1);
    if (!shown) {
        for (const QByteArray &body : bodies) {
            QVERIFY2(!body.contains("Indice") && !body.contains("Secret") && !body.contains("rightAll"), body.constData());
            QVERIFY2(!body.contains("feedback"), body.constData());
        }
        return;
    }
    const QJsonArray corrections = result.value("corrections").toArray();
    QCOMPARE(corrections.size(), 3);
    const QJsonObject first = corrections.at(0).toObject();
    QVERIFY(first.value("several").toBool());
    QVERIFY(!first.value("correct").toBool());
    QCOMPARE(first.value("givenAll").toArray(), (QJsonArray{"Réponse 1.2", "Réponse 1.3"}));
    QCOMPARE(first.value("rightAll").toArray(), (QJsonArray{"Réponse 1.2", "Réponse 1.4"}));
    // Only the feedback of the answers ticked: answer 4's is not for this pupil.
    QCOMPARE(first.value("feedback").toArray(),
             (QJsonArray{QJsonObject{{"answer", "Réponse 1.3"}, {"text", "Indice trois."}}}));
    // The correction's own text, without the lines that the lists above already say.
    QCOMPARE(first.value("correction").toString(), QStringLiteral("Secret 1"));
    // A one-answer question has feedback too, and its first answers as an older page reads them.
    const QJsonObject second = corrections.at(1).toObject();
    QCOMPARE(second.value("right").toString(), QStringLiteral("Réponse 2.3"));
    QCOMPARE(second.value("feedback").toArray().size(), 1);
    QVERIFY(corrections.at(2).toObject().value("correct").toBool());
    QCOMPARE(corrections.at(2).toObject().value("feedback").toArray(), QJsonArray());
}

QTEST_GUILESS_MAIN(TestNetworkApi)
#include "tst_networkapi.moc"

void TestNetworkApi::sessionTellsNoRunAndNoNamesUnderCodes_data()
{
    QTest::addColumn<bool>("codes");
    QTest::newRow("class list") << false;
    QTest::newRow("personal codes") << true;
}

void TestNetworkApi::sessionTellsNoRunAndNoNamesUnderCodes()
{
    QFETCH(bool, codes);
    Handlers handlers(questionnaire(3));
    const QStringList pupils{QStringLiteral("DURAND Ann"), QStringLiteral("MARTIN Bob")};
    PersonalCodeStore store(handlers.dir.filePath(QStringLiteral("classes")));
    const QStringList printed = store.renew(QStringLiteral("4e B"), QStringLiteral("q.qcm"), pupils);
    handlers.session->setClassList(QStringLiteral("4e B"), pupils,
                                   codes ? *store.find(QStringLiteral("4e B"), QStringLiteral("q.qcm")) : PersonalCodeList());
    // Ann has joined, answered and finished: nothing of it may show to whoever has the code.
    const QJsonObject body = codes ? QJsonObject{{QStringLiteral("code"), QStringLiteral("123456")},
                                                 {QStringLiteral("personal"), printed[0]}}
                                   : QJsonObject{{QStringLiteral("code"), QStringLiteral("123456")},
                                                 {QStringLiteral("name"), pupils[0]}};
    const ApiResponse joined = handlers.post(QStringLiteral("/api/join"), body);
    QCOMPARE(joined.status, 200);
    const QString token = Handlers::json(joined).value(QStringLiteral("token")).toString();
    handlers.post(QStringLiteral("/api/answer"), {{QStringLiteral("token"), token}, {QStringLiteral("position"), 0},
                                                  {QStringLiteral("choice"), 1}, {QStringLiteral("seq"), 1}});
    handlers.post(QStringLiteral("/api/finish"), {{QStringLiteral("token"), token}});

    const ApiResponse info = handlers.post(QStringLiteral("/api/session"), {{QStringLiteral("code"), QStringLiteral("123456")}});
    QCOMPARE(info.status, 200);
    const QJsonObject object = Handlers::json(info);
    QStringList keys = object.keys();
    keys.sort();
    QCOMPARE(keys.join(QLatin1Char(' ')), codes ? QStringLiteral("class codes questions") : QStringLiteral("class names questions"));
    QCOMPARE(info.body.contains("DURAND"), !codes);
    QVERIFY(!info.body.contains("MARTIN") || !codes);
    // Under codes a name alone is refused, without saying whether it is on the list.
    if (codes) {
        const ApiResponse byName = handlers.post(QStringLiteral("/api/join"), {{QStringLiteral("code"), QStringLiteral("123456")},
                                                                                {QStringLiteral("name"), pupils[1]}});
        QCOMPARE(byName.status, 422);
        QVERIFY(!byName.body.contains("MARTIN"));
    }
}

void TestNetworkApi::aSecondDeviceWaitsWithoutTheCopy_data()
{
    QTest::addColumn<int>("decision"); // 1 taken over, 0 refused, -1 the device gave up
    QTest::newRow("taken over") << 1;
    QTest::newRow("refused") << 0;
    QTest::newRow("withdrawn by the device") << -1;
}

void TestNetworkApi::aSecondDeviceWaitsWithoutTheCopy()
{
    QFETCH(int, decision);
    const bool accepted = decision == 1;
    Handlers handlers(questionnaire(3));
    const QJsonObject asking{{QStringLiteral("code"), QStringLiteral("123456")}, {QStringLiteral("name"), QStringLiteral("NGUYEN Hugo")}};
    const QString first = Handlers::json(handlers.post(QStringLiteral("/api/join"), asking)).value(QStringLiteral("token")).toString();
    handlers.post(QStringLiteral("/api/answer"), {{QStringLiteral("token"), first}, {QStringLiteral("position"), 1},
                                                  {QStringLiteral("choice"), 2}, {QStringLiteral("seq"), 1}});

    const ApiResponse waiting = handlers.post(QStringLiteral("/api/join"), asking);
    QCOMPARE(waiting.status, 202);
    const QString second = Handlers::json(waiting).value(QStringLiteral("token")).toString();
    QVERIFY(!second.isEmpty() && second != first);
    // Waiting, the device sees neither the copy's answers nor a question.
    for (const QString &path : {QStringLiteral("/api/join"), QStringLiteral("/api/state"), QStringLiteral("/api/question")}) {
        const ApiResponse response = path == QLatin1String("/api/join")
                                         ? waiting
                                         : handlers.post(path, {{QStringLiteral("token"), second}, {QStringLiteral("position"), 1}});
        QCOMPARE(response.status, 202);
        QVERIFY2(!response.body.contains("answered") && !response.body.contains("Question"), response.body.constData());
    }
    QCOMPARE(handlers.post(QStringLiteral("/api/answer"), {{QStringLiteral("token"), second}, {QStringLiteral("position"), 0},
                                                           {QStringLiteral("choice"), 1}, {QStringLiteral("seq"), 9}}).status,
             202);
    QCOMPARE(handlers.session->pupil(0).run.answeredCount(), 1);

    if (decision < 0) {
        QCOMPARE(handlers.post(QStringLiteral("/api/withdraw"), {{QStringLiteral("token"), second}}).status, 200);
        QVERIFY(handlers.session->takeOvers().empty());
        QCOMPARE(handlers.post(QStringLiteral("/api/state"), {{QStringLiteral("token"), second}}).status, 401);
        return;
    }
    const int id = handlers.session->takeOvers().front().id;
    if (accepted)
        handlers.session->acceptTakeOver(id);
    else
        handlers.session->refuseTakeOver(id);
    const ApiResponse secondState = handlers.post(QStringLiteral("/api/state"), {{QStringLiteral("token"), second}});
    const ApiResponse firstState = handlers.post(QStringLiteral("/api/state"), {{QStringLiteral("token"), first}});
    QCOMPARE(secondState.status, accepted ? 200 : 403);
    QCOMPARE(firstState.status, accepted ? 401 : 200);
    const QJsonObject told = Handlers::json(accepted ? firstState : secondState);
    QVERIFY(told.value(accepted ? QStringLiteral("moved") : QStringLiteral("refused")).toBool());
    QVERIFY(told.value(QStringLiteral("forget")).toBool());
    if (accepted)
        QCOMPARE(Handlers::json(secondState).value(QStringLiteral("answered")).toArray().at(1).toBool(), true);
}
