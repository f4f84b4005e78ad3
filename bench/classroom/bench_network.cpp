// A class answering on the network, on 127.0.0.1: 40 pupils, then 200, each on a connection of
// its own from another thread, all answering at once, round after round. Measured: answers a
// second, the time from sending an answer to its acknowledgement (median and 99th percentile),
// and the longest time the teacher's event loop went without turning. Baselines in the same
// run: the same round of requests that write nothing ("state"), and a journal line written and
// synced on its own. And the page with its files, in bytes.
#include "classroom/network/networksession.h"
#include "classroom/network/sessionjournal.h"
#include "classroom/network/sessionapi.h"
#include "classroom/network/server/sessionserver.h"
#include "document/qcmformat.h"
#include "medianreporter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>

// The pupils' side: one kept-alive connection per pupil, in a thread of its own. A round sends
// one request on every connection at once and ends when every answer has come back.
class Pupils : public QObject
{
    Q_OBJECT

public:
    struct Round
    {
        std::vector<double> ackMs;
        int failures = 0;
    };

    void open(quint16 port, int count)
    {
        m_port = port;
        for (int i = 0; i < count; ++i) {
            auto *socket = new QTcpSocket(this);
            socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            socket->connectToHost(QHostAddress::LocalHost, port);
            connect(socket, &QTcpSocket::readyRead, this, [this, i] { received(i); });
            m_sockets.push_back(socket);
        }
        m_buffers.resize(size_t(count));
        m_sentAt.resize(size_t(count));
    }

    // Sends bodies[i] to `path` on connection i.
    void send(const QByteArray &path, const std::vector<QByteArray> &bodies)
    {
        m_round = {};
        m_waiting = int(bodies.size());
        const QByteArray host = "Host: 127.0.0.1:" + QByteArray::number(m_port) + "\r\n";
        for (size_t i = 0; i < bodies.size(); ++i) {
            m_buffers[i].clear();
            m_sentAt[i] = m_clock.nsecsElapsed();
            m_sockets[i]->write("POST " + path + " HTTP/1.1\r\n" + host + "Content-Type: application/json\r\nContent-Length: "
                                + QByteArray::number(bodies[i].size()) + "\r\n\r\n" + bodies[i]);
        }
    }

Q_SIGNALS:
    void roundDone(const Pupils::Round &round);

private:
    void received(int i)
    {
        QByteArray &buffer = m_buffers[size_t(i)];
        buffer += m_sockets[size_t(i)]->readAll();
        const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        const qsizetype field = buffer.toLower().indexOf("content-length:");
        const qsizetype length = field < 0 ? 0 : buffer.mid(field + 15, buffer.indexOf('\r', field) - field - 15).trimmed().toLongLong();
        if (buffer.size() < headerEnd + 4 + length)
            return;
        m_round.ackMs.push_back(double(m_clock.nsecsElapsed() - m_sentAt[size_t(i)]) / 1e6);
        if (!buffer.startsWith("HTTP/1.1 200"))
            ++m_round.failures;
        buffer.clear();
        if (--m_waiting == 0)
            Q_EMIT roundDone(m_round);
    }

    quint16 m_port = 0;
    std::vector<QTcpSocket *> m_sockets;
    std::vector<QByteArray> m_buffers;
    std::vector<qint64> m_sentAt;
    QElapsedTimer m_clock = [] { QElapsedTimer t; t.start(); return t; }();
    Round m_round;
    int m_waiting = 0;
};

namespace {

constexpr int Questions = 30;

QStringList questionnaire()
{
    QStringList lines;
    for (int n = 0; n < Questions; ++n) {
        lines << QcmFormat::openingTag(n) << QStringLiteral("TITLE Question %1").arg(n + 1) << QStringLiteral("PICTURE ");
        for (int k = 1; k <= QcmFormat::AnswerCount; ++k)
            lines << QcmFormat::answerKeyword(k) + QStringLiteral("Réponse %1").arg(k);
        lines << QStringLiteral("REPONSE 2") << QcmFormat::closingTag(n);
    }
    return lines;
}

struct NoKeeper : ClassRunKeeper
{
    QString keep(const ClassRunRecord &) override { return {}; }
};

// A session with its server in this thread (the teacher's), and the pupils in theirs.
struct Classroom
{
    QTemporaryDir dir;
    NoKeeper keeper;
    std::unique_ptr<NetworkSession> session;
    std::unique_ptr<SessionApi> api;
    std::unique_ptr<SessionServer> server;
    QThread pupilThread;
    Pupils *pupils = new Pupils;
    std::vector<QString> tokens;

    explicit Classroom(int count)
    {
        NetworkSessionStart start;
        start.lines = questionnaire();
        session = NetworkSession::begin(dir.filePath(QStringLiteral("bench.journal")), start, keeper,
                                        [] { return QDateTime::currentDateTime(); });
        SessionApi::Limits limits;
        limits.pupilBurst = limits.pupilPerSecond = 1e9;
        api = std::make_unique<SessionApi>(*session, nullptr, limits);
        SessionServer::Limits connections;
        connections.connections = connections.connectionsPerPeer = 10000;
        server = std::make_unique<SessionServer>(*api, connections);
        QObject::connect(session.get(), &NetworkSession::journalSynced, server.get(), &SessionServer::journalSynced);
        const quint16 port = server->open(QHostAddress::LocalHost, 0);
        for (int i = 0; i < count; ++i)
            tokens.push_back(session->join(QStringLiteral("Élève %1").arg(i)).token);
        pupils->moveToThread(&pupilThread);
        QObject::connect(&pupilThread, &QThread::finished, pupils, &QObject::deleteLater);
        pupilThread.start();
        QMetaObject::invokeMethod(pupils, [this, port, count] { pupils->open(port, count); }, Qt::BlockingQueuedConnection);
        // The connections arrive in this thread's loop.
        QElapsedTimer wait;
        wait.start();
        while (server->connectionCount() < count && wait.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    ~Classroom()
    {
        pupilThread.quit();
        pupilThread.wait();
    }

    // One round, the teacher's loop turning meanwhile; `stallMs` takes the longest gap
    // between two turns of a 1 ms timer.
    Pupils::Round round(const QByteArray &path, const std::vector<QByteArray> &bodies, double &stallMs)
    {
        Pupils::Round result;
        QEventLoop loop;
        QObject::connect(pupils, &Pupils::roundDone, &loop, [&](const Pupils::Round &round) {
            result = round;
            loop.quit();
        });
        QTimer ticks;
        ticks.setTimerType(Qt::PreciseTimer);
        ticks.setInterval(1);
        QElapsedTimer sinceTick;
        sinceTick.start();
        QObject::connect(&ticks, &QTimer::timeout, &loop, [&] {
            stallMs = std::max(stallMs, double(sinceTick.nsecsElapsed()) / 1e6 - 1.0);
            sinceTick.restart();
        });
        ticks.start();
        QMetaObject::invokeMethod(pupils, [this, path, bodies] { pupils->send(path, bodies); }, Qt::QueuedConnection);
        loop.exec();
        return result;
    }
};

double percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(share * double(values.size() - 1) + 0.5))];
}

void runRounds(benchmark::State &state, bool answering)
{
    const int count = int(state.range(0));
    Classroom room(count);
    std::vector<double> acks;
    double stallMs = 0;
    double seconds = 0;
    int failures = 0;
    qint64 roundNumber = 0;
    for (auto _ : state) {
        std::vector<QByteArray> bodies;
        const int question = int(roundNumber % Questions);
        const int choice = 1 + int(roundNumber / Questions) % 2; // a change every time: a line each
        for (int i = 0; i < count; ++i) {
            QJsonObject body{{QStringLiteral("token"), room.tokens[size_t(i)]}};
            if (answering) {
                body.insert(QStringLiteral("position"), question);
                body.insert(QStringLiteral("choice"), choice);
                body.insert(QStringLiteral("seq"), double(roundNumber + 1));
            }
            bodies.push_back(QJsonDocument(body).toJson(QJsonDocument::Compact));
        }
        ++roundNumber;
        QElapsedTimer timer;
        timer.start();
        const Pupils::Round round = room.round(answering ? "/api/answer" : "/api/state", bodies, stallMs);
        const double elapsed = double(timer.nsecsElapsed()) / 1e9;
        state.SetIterationTime(elapsed);
        seconds += elapsed;
        failures += round.failures;
        acks.insert(acks.end(), round.ackMs.begin(), round.ackMs.end());
    }
    if (failures > 0)
        state.SkipWithError("some requests were refused");
    state.counters["answers_per_s"] = double(acks.size()) / seconds;
    state.counters["ack_median_ms"] = percentile(acks, 0.5);
    state.counters["ack_p99_ms"] = percentile(acks, 0.99);
    state.counters["stall_ms"] = stallMs;
}

void BM_AnswerRound(benchmark::State &state)
{
    runRounds(state, true);
}

void BM_StateRound(benchmark::State &state)
{
    runRounds(state, false);
}

// The floor of an acknowledged answer: its journal line written and synced.
void BM_SyncedJournalLine(benchmark::State &state)
{
    QTemporaryDir dir;
    SessionJournal journal(dir.filePath(QStringLiteral("floor.journal")), 0);
    const QJsonObject line{{QStringLiteral("k"), QStringLiteral("answer")}, {QStringLiteral("p"), 12},
                           {QStringLiteral("q"), 3}, {QStringLiteral("a"), 2}, {QStringLiteral("n"), 17}};
    for (auto _ : state) {
        journal.append(line);
        journal.syncNow();
    }
}

void BM_PageBytes(benchmark::State &state)
{
    qint64 bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (const char *name : {"index.html", "page.css", "page.js"})
            bytes += SessionApi::asset(QString::fromLatin1(name)).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["page_bytes"] = double(bytes);
}

} // namespace

BENCHMARK(BM_AnswerRound)->Arg(40)->Arg(200)->Iterations(60)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StateRound)->Arg(40)->Arg(200)->Iterations(60)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SyncedJournalLine)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PageBytes)->Iterations(10);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qRegisterMetaType<Pupils::Round>();
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (int pupils : {40, 200}) {
        const std::string n = std::to_string(pupils);
        const double answer = reporter.seconds("BM_AnswerRound/" + n );
        const double plain = reporter.seconds("BM_StateRound/" + n );
        if (answer > 0 && plain > 0)
            std::printf("%d pupils: a round of answers takes %.2f times a round of requests that write nothing\n",
                        pupils, answer / plain);
    }
    const double line = reporter.seconds("BM_SyncedJournalLine");
    const double round40 = reporter.seconds("BM_AnswerRound/40");
    if (line > 0 && round40 > 0)
        std::printf("an answer of a 40-pupil round costs %.2f times its synced journal line\n", round40 / 40 / line);
    benchmark::Shutdown();
    return 0;
}

#include "bench_network.moc"
