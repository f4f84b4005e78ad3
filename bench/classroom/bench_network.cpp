// A class answering on the network, on 127.0.0.1: 40 pupils, then 200, a 20-question
// questionnaire, each pupil on a kept-alive connection of their own, from another thread.
//
// Paced: each pupil answers, waits for the acknowledgement, pauses 0.3 to 1 s, answers again.
// Bursts: every pupil answers at once, and again as soon as every answer came back.
//
// Measured, per run: the 99th percentile of the time from sending an answer to its
// acknowledgement, and the teacher's event loop lateness (how late a 10 ms timer fires, at
// worst), with the session's table shown in a view as the teacher's window shows it. The same
// pattern in the same run against a baseline: a trivial HTTP server in a thread of its own that
// answers every request at once and writes nothing. Several runs of each; the medians and their
// ratios are printed at the end. And the page with its files, in bytes.
//
// Live: 200 pupils, the teacher's question open on the projector window (its chart and count
// redrawn at each answer) beside the session's table; each pupil answers once at a random moment
// of the 3 s after it opens. The same against the baseline.
#include "classroom/network/livepacing.h"
#include "classroom/network/networksession.h"
#include "classroom/network/projectorwindow.h"
#include "classroom/network/sessionapi.h"
#include "classroom/network/sessionjournal.h"
#include "classroom/network/sessiontablemodel.h"
#include "classroom/network/server/sessionserver.h"
#include "document/qcmformat.h"
#include "medianreporter.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHeaderView>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTableView>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int Questions = 20;
constexpr int PacedRunMs = 6000;
constexpr int LatenessTickMs = 10;

// Where a response ends in `buffer`, or -1 while it is not whole.
qsizetype responseEnd(const QByteArray &buffer)
{
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return -1;
    const qsizetype field = buffer.toLower().indexOf("content-length:");
    const qsizetype length = field < 0 || field > headerEnd
        ? 0
        : buffer.mid(field + 15, buffer.indexOf('\r', field) - field - 15).trimmed().toLongLong();
    const qsizetype end = headerEnd + 4 + length;
    return buffer.size() < end ? -1 : end;
}

} // namespace

// The pupils' side, in a thread of its own: one kept-alive connection per pupil.
class Pupils : public QObject
{
    Q_OBJECT

public:
    struct Outcome
    {
        std::vector<double> ackMs;
        int failures = 0;
    };

    void open(quint16 port, const std::vector<QString> &tokens)
    {
        m_host = "Host: 127.0.0.1:" + QByteArray::number(port) + "\r\n";
        m_tokens = tokens;
        for (size_t i = 0; i < tokens.size(); ++i) {
            auto *socket = new QTcpSocket(this);
            socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            socket->connectToHost(QHostAddress::LocalHost, port);
            connect(socket, &QTcpSocket::readyRead, this, [this, i] { received(int(i)); });
            m_sockets.push_back(socket);
        }
        m_pupils.resize(tokens.size());
    }

    // Every pupil at their own pace for `runMs`; done() once the last answer came back.
    void pace(int runMs)
    {
        start(false);
        m_deadline.setRemainingTime(runMs);
        for (size_t i = 0; i < m_pupils.size(); ++i)
            later(int(i));
    }

    // Every pupil at once, `rounds` times, each round once the last came back.
    void burst(int rounds)
    {
        start(true);
        m_roundsLeft = rounds;
        sendRound();
    }

    // Every pupil answers the first question once, at a random moment within `windowMs`.
    void spread(int windowMs)
    {
        start(false);
        m_spreadLeft = int(m_pupils.size());
        for (size_t i = 0; i < m_pupils.size(); ++i)
            QTimer::singleShot(int(QRandomGenerator::global()->bounded(windowMs)), this, [this, i] { send(int(i)); });
    }

Q_SIGNALS:
    void done(const Pupils::Outcome &outcome);

private:
    struct Pupil
    {
        qint64 sentAt = 0;
        bool waiting = false;
        QByteArray buffer;
        int sent = 0;
    };

    void start(bool bursts)
    {
        m_outcome = {};
        m_bursts = bursts;
        m_waiting = 0;
        m_told = false;
        m_spreadLeft = 0;
    }

    void later(int i)
    {
        const int pauseMs = 300 + int(QRandomGenerator::global()->bounded(701));
        QTimer::singleShot(pauseMs, this, [this, i] {
            if (m_deadline.hasExpired())
                finishIfDone();
            else
                send(i);
        });
    }

    void sendRound()
    {
        for (size_t i = 0; i < m_pupils.size(); ++i)
            send(int(i));
    }

    void send(int i)
    {
        Pupil &pupil = m_pupils[size_t(i)];
        // A change every time, so that every answer writes its line.
        const int position = m_spreadLeft > 0 ? 0 : pupil.sent % Questions;
        const int choice = m_spreadLeft > 0 ? 1 + i % 5 : 1 + (pupil.sent / Questions) % 2;
        ++pupil.sent;
        const QByteArray body = QJsonDocument(QJsonObject{{QStringLiteral("token"), m_tokens[size_t(i)]},
                                                          {QStringLiteral("position"), position},
                                                          {QStringLiteral("choice"), choice},
                                                          {QStringLiteral("seq"), pupil.sent}})
                                    .toJson(QJsonDocument::Compact);
        pupil.buffer.clear();
        pupil.waiting = true;
        ++m_waiting;
        pupil.sentAt = m_clock.nsecsElapsed();
        m_sockets[size_t(i)]->write("POST /api/answer HTTP/1.1\r\n" + m_host
                                    + "Content-Type: application/json\r\nContent-Length: "
                                    + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    }

    void received(int i)
    {
        Pupil &pupil = m_pupils[size_t(i)];
        pupil.buffer += m_sockets[size_t(i)]->readAll();
        if (!pupil.waiting || responseEnd(pupil.buffer) < 0)
            return;
        m_outcome.ackMs.push_back(double(m_clock.nsecsElapsed() - pupil.sentAt) / 1e6);
        if (!pupil.buffer.startsWith("HTTP/1.1 200"))
            ++m_outcome.failures;
        pupil.waiting = false;
        --m_waiting;
        if (m_spreadLeft > 0) {
            if (--m_spreadLeft == 0)
                Q_EMIT done(m_outcome);
            return;
        }
        if (m_bursts) {
            if (m_waiting == 0 && --m_roundsLeft > 0)
                sendRound();
            else if (m_waiting == 0)
                Q_EMIT done(m_outcome);
            return;
        }
        later(i);
        finishIfDone();
    }

    void finishIfDone()
    {
        if (!m_told && m_waiting == 0 && m_deadline.hasExpired()) {
            m_told = true;
            Q_EMIT done(m_outcome);
        }
    }

    QByteArray m_host;
    std::vector<QString> m_tokens;
    std::vector<QTcpSocket *> m_sockets;
    std::vector<Pupil> m_pupils;
    QElapsedTimer m_clock = [] { QElapsedTimer t; t.start(); return t; }();
    QDeadlineTimer m_deadline;
    Outcome m_outcome;
    bool m_bursts = false;
    bool m_told = false;
    int m_waiting = 0;
    int m_roundsLeft = 0;
    int m_spreadLeft = 0;
};

// The baseline: answers every request at once with a small JSON body, and writes nothing.
class TrivialServer : public QTcpServer
{
public:
    TrivialServer()
    {
        // As the session's server: a whole class connects at once.
        setListenBacklogSize(256);
        setMaxPendingConnections(256);
    }

    std::atomic<int> connections{0};

protected:
    void incomingConnection(qintptr descriptor) override
    {
        ++connections;
        auto *socket = new QTcpSocket(this);
        socket->setSocketDescriptor(descriptor);
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, socket, [socket, buffer] {
            *buffer += socket->readAll();
            for (qsizetype end = responseEnd(*buffer); end >= 0; end = responseEnd(*buffer)) {
                buffer->remove(0, end);
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 11\r\n"
                              "Connection: keep-alive\r\n\r\n{\"ok\":true}");
            }
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
};

namespace {

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

// The teacher's side in this thread: the session, its server and its table in a view; or the
// trivial server in a thread of its own. The pupils in theirs.
struct Classroom
{
    QTemporaryDir dir;
    NoKeeper keeper;
    std::unique_ptr<NetworkSession> session;
    std::unique_ptr<SessionApi> api;
    std::unique_ptr<SessionServer> server;
    std::unique_ptr<SessionTableModel> model;
    std::unique_ptr<QTableView> view;
    std::unique_ptr<LivePacing> pacing;
    std::unique_ptr<ProjectorWindow> projector;
    QThread baselineThread;
    TrivialServer *baseline = nullptr;
    QThread pupilThread;
    Pupils *pupils = new Pupils;

    Classroom(int count, bool ours, bool live = false)
    {
        std::vector<QString> tokens;
        quint16 port = 0;
        if (ours) {
            NetworkSessionStart start;
            start.lines = questionnaire();
            start.live = live;
            session = NetworkSession::begin(dir.filePath(QStringLiteral("bench.journal")), start, keeper,
                                            [] { return QDateTime::currentDateTime(); });
            SessionApi::Limits limits;
            limits.pupilBurst = limits.pupilPerSecond = 1e9;
            api = std::make_unique<SessionApi>(*session, nullptr, limits);
            SessionServer::Limits connections;
            connections.connections = connections.connectionsPerPeer = 10000;
            server = std::make_unique<SessionServer>(*api, connections);
            QObject::connect(session.get(), &NetworkSession::journalSynced, server.get(), &SessionServer::journalSynced);
            port = server->open(QHostAddress::LocalHost, 0);
            for (int i = 0; i < count; ++i)
                tokens.push_back(session->join(QStringLiteral("ÉLÈVE Numéro %1").arg(i)).token);
            model = std::make_unique<SessionTableModel>(*session);
            view = std::make_unique<QTableView>();
            view->setModel(model.get());
            view->horizontalHeader()->setSectionResizeMode(SessionTableModel::NameColumn, QHeaderView::Stretch);
            view->resize(800, 700);
            view->show();
            // The teacher's window is on the screen before the class answers: its first
            // drawing (fonts, style) is not the class's cost.
            view->grab();
            if (live) {
                // The question open on the projector, as the teacher's class sees it.
                pacing = std::make_unique<LivePacing>(*session);
                projector = std::make_unique<ProjectorWindow>(*pacing, nullptr,
                                                              [] { return QStringLiteral("http://127.0.0.1:8080/"); });
                projector->resize(1366, 768);
                projector->show();
                pacing->next();
                pacing->showAnswers();
                pacing->reopen();
                projector->grab();
            }
        } else {
            baseline = new TrivialServer;
            baseline->moveToThread(&baselineThread);
            QObject::connect(&baselineThread, &QThread::finished, baseline, &QObject::deleteLater);
            baselineThread.start();
            QMetaObject::invokeMethod(baseline, [this, &port] {
                baseline->listen(QHostAddress::LocalHost, 0);
                port = baseline->serverPort();
            }, Qt::BlockingQueuedConnection);
            for (int i = 0; i < count; ++i)
                tokens.push_back(QString::number(i));
        }
        pupils->moveToThread(&pupilThread);
        QObject::connect(&pupilThread, &QThread::finished, pupils, &QObject::deleteLater);
        pupilThread.start();
        QMetaObject::invokeMethod(pupils, [this, port, tokens] { pupils->open(port, tokens); },
                                  Qt::BlockingQueuedConnection);
        QElapsedTimer wait;
        wait.start();
        auto connected = [&] { return server ? server->connectionCount() : baseline->connections.load(); };
        while (connected() < count && wait.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::processEvents();
    }

    ~Classroom()
    {
        pupilThread.quit();
        pupilThread.wait();
        baselineThread.quit();
        baselineThread.wait();
    }

    // The pupils act (`act` in their thread) while this loop turns; `latenessMs` takes how late
    // a 10 ms timer fired, at worst.
    Pupils::Outcome run(std::function<void(Pupils *)> act, double &latenessMs)
    {
        Pupils::Outcome result;
        QEventLoop loop;
        QObject::connect(pupils, &Pupils::done, &loop, [&](const Pupils::Outcome &outcome) {
            result = outcome;
            loop.quit();
        });
        QTimer ticks;
        ticks.setTimerType(Qt::PreciseTimer);
        ticks.setInterval(LatenessTickMs);
        QElapsedTimer sinceTick;
        QObject::connect(&ticks, &QTimer::timeout, &loop, [&] {
            latenessMs = std::max(latenessMs, double(sinceTick.nsecsElapsed()) / 1e6 - LatenessTickMs);
            sinceTick.restart();
        });
        sinceTick.start();
        ticks.start();
        QMetaObject::invokeMethod(pupils, [this, act] { act(pupils); }, Qt::QueuedConnection);
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

double median(std::vector<double> values)
{
    return percentile(std::move(values), 0.5);
}

// Every run's figures, by benchmark, for the medians printed at the end.
struct Figures
{
    std::vector<double> p99Ms;
    std::vector<double> latenessMs;
};
using AllFigures = std::map<std::string, Figures>;

void runClass(benchmark::State &state, bool ours, bool paced, AllFigures &figures)
{
    const int count = int(state.range(0));
    const std::string name = std::string(paced ? "paced" : "burst") + (ours ? "" : "_baseline") + "/" + std::to_string(count);
    for (auto _ : state) {
        Classroom room(count, ours);
        double latenessMs = 0;
        const Pupils::Outcome outcome = paced
            ? room.run([](Pupils *pupils) { pupils->pace(PacedRunMs); }, latenessMs)
            : room.run([](Pupils *pupils) { pupils->burst(Questions); }, latenessMs);
        const double p99 = percentile(outcome.ackMs, 0.99);
        state.SetIterationTime(p99 / 1000);
        if (outcome.failures > 0)
            state.SkipWithError("some answers were refused");
        state.counters["answers"] = double(outcome.ackMs.size());
        state.counters["ack_median_ms"] = percentile(outcome.ackMs, 0.5);
        state.counters["ack_p99_ms"] = p99;
        state.counters["lateness_ms"] = latenessMs;
        figures[name].p99Ms.push_back(p99);
        figures[name].latenessMs.push_back(latenessMs);
    }
}

constexpr int LiveWindowMs = 3000;

// 200 pupils answering within 3 s of the question opening on the projector.
void runLive(benchmark::State &state, bool ours, AllFigures &figures)
{
    const int count = int(state.range(0));
    const std::string name = std::string(ours ? "live" : "live_baseline") + "/" + std::to_string(count);
    for (auto _ : state) {
        Classroom room(count, ours, true);
        double latenessMs = 0;
        const Pupils::Outcome outcome = room.run([](Pupils *pupils) { pupils->spread(LiveWindowMs); }, latenessMs);
        const double p99 = percentile(outcome.ackMs, 0.99);
        state.SetIterationTime(p99 / 1000);
        if (outcome.failures > 0)
            state.SkipWithError("some answers were refused");
        if (ours && room.pacing->tally().answered != count)
            state.SkipWithError("the projector's count is not the class's");
        state.counters["answers"] = double(outcome.ackMs.size());
        state.counters["ack_p99_ms"] = p99;
        state.counters["lateness_ms"] = latenessMs;
        figures[name].p99Ms.push_back(p99);
        figures[name].latenessMs.push_back(latenessMs);
    }
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

BENCHMARK(BM_SyncedJournalLine)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PageBytes)->Iterations(10);

int main(int argc, char **argv)
{
    // The teacher's table is drawn as on a screen, without one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qRegisterMetaType<Pupils::Outcome>();
    benchmark::Initialize(&argc, argv);
    AllFigures figures;
    // Each with its baseline just before it, so that what else the machine does weighs on both alike.
    for (const bool paced : {true, false}) {
        for (const int pupils : {40, 200}) {
            for (const bool ours : {false, true}) {
                const std::string name = std::string(paced ? "BM_Paced" : "BM_Burst") + (ours ? "" : "Baseline");
                benchmark::RegisterBenchmark(name.c_str(), [ours, paced, &figures](benchmark::State &state) {
                    runClass(state, ours, paced, figures);
                })->Arg(pupils)->Iterations(1)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMillisecond);
            }
        }
    }
    for (const bool ours : {false, true}) {
        benchmark::RegisterBenchmark(ours ? "BM_Live" : "BM_LiveBaseline", [ours, &figures](benchmark::State &state) {
            runLive(state, ours, figures);
        })->Arg(200)->Iterations(1)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMillisecond);
    }
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nmedians of the runs (goals: p99 <= 20 ms at 40 and <= 50 ms at 200 paced; lateness <= 100 ms)\n");
    for (const char *mode : {"paced", "burst"}) {
        for (int pupils : {40, 200}) {
            const std::string ours = std::string(mode) + "/" + std::to_string(pupils);
            const std::string base = std::string(mode) + "_baseline/" + std::to_string(pupils);
            const auto found = figures.find(ours);
            const auto baseFound = figures.find(base);
            if (found == figures.end() || baseFound == figures.end())
                continue;
            const double p99 = median(found->second.p99Ms);
            const double baseP99 = median(baseFound->second.p99Ms);
            const double late = median(found->second.latenessMs);
            const double baseLate = median(baseFound->second.latenessMs);
            std::printf("%s, %3d pupils: p99 acknowledgement %.2f ms (baseline %.2f ms, ratio %.2f); "
                        "teacher's loop late %.1f ms at worst (baseline %.1f ms, ratio %.2f); worst run %.1f ms\n",
                        mode, pupils, p99, baseP99, baseP99 > 0 ? p99 / baseP99 : 0, late, baseLate,
                        baseLate > 0 ? late / baseLate : 0,
                        *std::max_element(found->second.latenessMs.begin(), found->second.latenessMs.end()));
        }
    }
    const auto live = figures.find("live/200");
    const auto liveBase = figures.find("live_baseline/200");
    if (live != figures.end() && liveBase != figures.end()) {
        const double p99 = median(live->second.p99Ms);
        const double baseP99 = median(liveBase->second.p99Ms);
        const double late = median(live->second.latenessMs);
        const double baseLate = median(liveBase->second.latenessMs);
        std::printf("live, 200 pupils within %d s (goals: p99 <= 100 ms; projector late <= 100 ms): p99 acknowledgement "
                    "%.2f ms (baseline %.2f ms, ratio %.2f); projector's loop late %.1f ms at worst (baseline %.1f ms, "
                    "ratio %.2f); worst run %.1f ms\n",
                    LiveWindowMs / 1000, p99, baseP99, baseP99 > 0 ? p99 / baseP99 : 0, late, baseLate,
                    baseLate > 0 ? late / baseLate : 0,
                    *std::max_element(live->second.latenessMs.begin(), live->second.latenessMs.end()));
    }
    benchmark::Shutdown();
    return 0;
}

#include "bench_network.moc"
