#include "classroom/network/server/sessionserver.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

namespace {

const char GuardName[] = "nelo-connection-guard";

// The bounds of one connection, living as long as its socket.
class ConnectionGuard : public QObject
{
public:
    ConnectionGuard(QTcpSocket *socket, QObject *httpServer, const ServerLimits &limits, const QString &peer)
        : QObject(socket), m_socket(socket), m_httpServer(httpServer), m_limits(limits), m_peer(peer)
    {
        setObjectName(QLatin1String(GuardName));
        m_requestTimer.setSingleShot(true);
        m_idleTimer.setSingleShot(true);
        connect(&m_requestTimer, &QTimer::timeout, this, [this] { refuse("408 Request Timeout"); });
        connect(&m_idleTimer, &QTimer::timeout, this, [this] { idleTimedOut(); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        // Connected before Qt's server connects its own: this one sees the bytes first.
        m_reading = connect(socket, &QTcpSocket::readyRead, this, [this] { bytesArrived(); });
        // Qt's server reads no further than the socket's buffer: one request and a little more.
        socket->setReadBufferSize(2 * limits.requestBytes);
        // Until its first byte, a connection is bounded by the short limit: one that sends
        // nothing must not hold a slot for long.
        m_since.start();
        m_idleTimer.start(limits.silentMs);
    }

    static ConnectionGuard *of(QTcpSocket *socket)
    {
        return static_cast<ConnectionGuard *>(socket->findChild<QObject *>(QLatin1String(GuardName),
                                                                           Qt::FindDirectChildrenOnly));
    }

    // A request was read whole: the next one starts from nothing.
    void requestDone()
    {
        m_requestBytes = 0;
        m_requestTimer.stop();
        ++m_answering;
    }
    // Its response went out (or was dropped): the connection waits for its next request.
    void responseSent()
    {
        m_answering = std::max(0, m_answering - 1);
        if (m_answering == 0 && m_requestBytes == 0) {
            m_since.restart();
            m_idleTimer.start(idleLimit());
        }
    }

    const QString &peer() const { return m_peer; }
    int pupil() const { return m_pupil; }
    void becomePupils(int pupil) { m_pupil = pupil; }
    // Not waiting for its response, and idle or slow to send its request (a page on the
    // school's network sends one in milliseconds): it may make room for a newcomer.
    bool mayGive() const
    {
        return m_answering == 0 && (m_requestBytes == 0 || m_requestSince.elapsed() > m_limits.slowRequestMs);
    }
    // How long it has been idle, or connected without a word, or sending its request.
    qint64 waitingForMs() const { return m_requestBytes == 0 ? m_since.elapsed() : m_requestSince.elapsed(); }

    void close()
    {
        m_socket->abort();
        m_socket->deleteLater();
    }

private:
    int idleLimit() const { return m_pupil >= 0 ? m_limits.idleMs : m_limits.silentMs; }

    void idleTimedOut()
    {
        // A response waiting for the journal keeps its connection: the page waits for it.
        if (m_answering > 0) {
            m_idleTimer.start(idleLimit());
            return;
        }
        close();
    }

    void bytesArrived()
    {
        m_idleTimer.stop();
        if (m_requestBytes == 0) {
            m_requestTimer.start(m_limits.requestMs);
            m_requestSince.start();
        }
        m_requestBytes += m_socket->bytesAvailable();
        if (m_requestBytes > m_limits.requestBytes) {
            refuse("413 Payload Too Large");
            return;
        }
        // Qt's server drops every connection of a socket whose request it cannot read, and
        // leaves the socket open: it is closed here once the server has had its turn.
        QMetaObject::invokeMethod(this, [this] {
            if (!m_reading)
                close();
        }, Qt::QueuedConnection);
    }

    // Answers without letting Qt's server read on, and closes the connection.
    void refuse(const char *status)
    {
        QObject::disconnect(m_socket, &QTcpSocket::readyRead, m_httpServer, nullptr);
        QObject::disconnect(m_reading);
        m_requestTimer.stop();
        if (m_socket->state() == QAbstractSocket::ConnectedState) {
            m_socket->write(QByteArray("HTTP/1.1 ") + status + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            m_socket->disconnectFromHost();
        }
        // A client that does not read its answer does not keep the connection either.
        m_answering = 0;
        m_idleTimer.start(1000);
    }

    QTcpSocket *m_socket;
    QObject *m_httpServer;
    const ServerLimits m_limits;
    const QString m_peer;
    QTimer m_requestTimer;
    QTimer m_idleTimer;
    QElapsedTimer m_since;
    QElapsedTimer m_requestSince;
    QMetaObject::Connection m_reading;
    qint64 m_requestBytes = 0;
    int m_answering = 0;  // requests read whose responses have not gone yet
    int m_pupil = -1;     // the pupil whose connection it is, -1 for anybody's
};

ApiRequest::Method methodOf(QHttpServerRequest::Method method)
{
    switch (method) {
    case QHttpServerRequest::Method::Get: return ApiRequest::Method::Get;
    case QHttpServerRequest::Method::Head: return ApiRequest::Method::Head;
    case QHttpServerRequest::Method::Post: return ApiRequest::Method::Post;
    default: return ApiRequest::Method::Other;
    }
}

} // namespace

// Counts connections as they come, and turns away those past the limits before Qt's server
// sees them, or makes room for them (ServerLimits says how).
class GuardedTcpServer : public QTcpServer
{
public:
    GuardedTcpServer(const ServerLimits &limits, QObject *parent) : QTcpServer(parent), m_limits(limits)
    {
        // A whole class joins at the same minute: the system keeps their connections waiting
        // until the program takes them.
        setListenBacklogSize(256);
        setMaxPendingConnections(256);
    }

    int connectionCount() const { return int(m_guards.size()); }

    // The connection carried `pupil`'s token: it counts among the pupils' slots, unless that
    // pupil already holds their share of them.
    void notePupil(ConnectionGuard *guard, int pupil)
    {
        if (pupil < 0 || guard->pupil() >= 0)
            return;
        int &held = m_perPupil[pupil];
        if (held >= m_limits.connectionsPerPupil)
            return;
        ++held;
        --m_anybodys;
        guard->becomePupils(pupil);
        m_guards[guard].pupil = pupil;
    }

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto *socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        const QString peer = socket->peerAddress().toString();
        const bool roomForAnybody = m_anybodys < m_limits.connections - m_limits.pupilSlots
            && connectionCount() < m_limits.connections;
        if (m_perPeer.value(peer) >= m_limits.connectionsPerPeer || (!roomForAnybody && !makeRoom())) {
            socket->abort();
            socket->deleteLater();
            return;
        }
        ++m_perPeer[peer];
        ++m_anybodys;
        auto *guard = new ConnectionGuard(socket, parent(), m_limits, peer);
        m_guards.insert(guard, {peer, -1});
        // Told as the guard goes: only its address serves then, as a key.
        connect(guard, &QObject::destroyed, this, [this, guard] { forget(guard); });
        addPendingConnection(socket);
    }

private:
    // Closes the connection that has waited longest, idle or slow, of the device holding the
    // most connections that are not pupils'. False when every one of them is busy.
    bool makeRoom()
    {
        QHash<QString, int> held;
        for (const Connection &connection : std::as_const(m_guards)) {
            if (connection.pupil < 0)
                ++held[connection.peer];
        }
        ConnectionGuard *chosen = nullptr;
        for (auto it = m_guards.cbegin(); it != m_guards.cend(); ++it) {
            ConnectionGuard *guard = it.key();
            if (it->pupil >= 0 || !guard->mayGive())
                continue;
            if (!chosen || held.value(guard->peer()) > held.value(chosen->peer())
                || (held.value(guard->peer()) == held.value(chosen->peer()) && guard->waitingForMs() > chosen->waitingForMs()))
                chosen = guard;
        }
        if (!chosen)
            return false;
        // Counted out now: its socket goes at the next turn of the loop.
        forget(chosen);
        chosen->close();
        return true;
    }

    void forget(ConnectionGuard *guard)
    {
        const auto found = m_guards.find(guard);
        if (found == m_guards.end())
            return;
        const Connection gone = *found;
        m_guards.erase(found);
        auto it = m_perPeer.find(gone.peer);
        if (it != m_perPeer.end() && --*it <= 0)
            m_perPeer.erase(it);
        const int pupil = gone.pupil;
        if (pupil < 0) {
            --m_anybodys;
        } else {
            auto held = m_perPupil.find(pupil);
            if (held != m_perPupil.end() && --*held <= 0)
                m_perPupil.erase(held);
        }
    }

    struct Connection
    {
        QString peer;
        int pupil = -1;
    };

    const ServerLimits m_limits;
    QHash<ConnectionGuard *, Connection> m_guards;
    int m_anybodys = 0; // connections that are not (yet) a pupil's
    QHash<QString, int> m_perPeer;
    QHash<int, int> m_perPupil;
};

SessionServer::SessionServer(SessionRequests &requests, Limits limits, QObject *parent)
    : QAbstractHttpServer(parent), m_requests(requests), m_limits(limits)
{
    m_clock.start();
}

SessionServer::SessionServer(SessionRequests &requests, QObject *parent) : SessionServer(requests, Limits(), parent) {}

SessionServer::~SessionServer() = default;

QString SessionServer::hostOf(const QHostAddress &address, quint16 port)
{
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
        ? QLatin1Char('[') + address.toString() + QLatin1Char(']')
        : address.toString();
    return host + QLatin1Char(':') + QString::number(port);
}

quint16 SessionServer::open(const QString &address, quint16 port)
{
    const QHostAddress host(address);
    if (host.isNull()) {
        close();
        m_error = QAbstractSocket::SocketAddressNotAvailableError;
        m_errorText = tr("L'adresse %1 n'est pas (ou plus) celle de cet ordinateur.").arg(address);
        return 0;
    }
    return open(host, port);
}

quint16 SessionServer::open(const QHostAddress &address, quint16 port)
{
    close();
    m_errorText.clear();
    m_error = QAbstractSocket::UnknownSocketError;
    auto *tcp = new GuardedTcpServer(m_limits, this);
    if (!tcp->listen(address, port)) {
        m_error = tcp->serverError();
        switch (m_error) {
        case QAbstractSocket::AddressInUseError:
            m_errorText = tr("Le port %1 est déjà pris par un autre programme.").arg(port);
            break;
        case QAbstractSocket::SocketAddressNotAvailableError:
            m_errorText = tr("L'adresse %1 n'est pas (ou plus) celle de cet ordinateur.").arg(address.toString());
            break;
        case QAbstractSocket::SocketAccessError:
            m_errorText = tr("Le système refuse d'ouvrir le port %1.").arg(port);
            break;
        default:
            m_errorText = tr("Impossible d'ouvrir la passation à l'adresse %1 (erreur %2).")
                              .arg(address.toString())
                              .arg(int(tcp->serverError()));
        }
        delete tcp;
        return 0;
    }
    bind(tcp);
    m_tcp = tcp;
    m_requests.setHost(hostOf(address, tcp->serverPort()));
    return tcp->serverPort();
}

void SessionServer::close()
{
    // Its sockets are its children: every connection goes with it.
    delete m_tcp.data();
}

bool SessionServer::isListening() const
{
    return m_tcp && m_tcp->isListening();
}

int SessionServer::connectionCount() const
{
    return m_tcp ? m_tcp->connectionCount() : 0;
}

bool SessionServer::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    ConnectionGuard *guard = ConnectionGuard::of(socket);
    if (guard)
        guard->requestDone();
    ApiRequest asked;
    asked.method = methodOf(request.method());
    const QUrl url = request.url();
    asked.path = url.path(QUrl::FullyDecoded);
    asked.query = url.query(QUrl::FullyEncoded);
    asked.body = request.body();
    asked.peer = request.remoteAddress().toString();
    asked.host = QString::fromLatin1(request.value("Host"));
    asked.origin = QString::fromLatin1(request.value("Origin"));
    asked.contentType = request.value("Content-Type");
    asked.nowMs = m_clock.elapsed();

    const ApiResponse answer = m_requests.handle(asked);
    if (guard && m_tcp)
        m_tcp->notePupil(guard, answer.pupil);
    const bool closing = request.value("Connection").toLower().contains("close");
    const QByteArray bytes = responseBytes(answer, closing);
    // Responses of one connection leave in the order of its requests.
    const bool behind = std::any_of(m_waiting.begin(), m_waiting.end(),
                                    [socket](const Waiting &waiting) { return waiting.socket == socket; });
    if (answer.durableAt > m_requests.journalSyncedLength() || behind) {
        const qint64 after = m_waiting.empty() ? 0 : m_waiting.back().durableAt;
        m_waiting.push_back({socket, bytes, closing, std::max(answer.durableAt, after)});
        m_requests.requestJournalSync();
        return true;
    }
    send(socket, bytes, closing);
    return true;
}

void SessionServer::journalSynced(qint64 length, const QString &failure)
{
    // After a failure, no later sync is believed until the lines are written again, which a
    // page's new try asks for: every waiting page is told to try again.
    while (!m_waiting.empty() && (m_waiting.front().durableAt <= length || !failure.isEmpty())) {
        const Waiting waiting = std::move(m_waiting.front());
        m_waiting.pop_front();
        if (!waiting.socket)
            continue; // the page went away meanwhile: it asks again
        if (failure.isEmpty()) {
            send(waiting.socket, waiting.bytes, waiting.closing);
        } else {
            // Not on the disk, so not acknowledged: the page sends it again.
            ApiResponse refused;
            refused.status = 503;
            refused.contentType = "application/json; charset=utf-8";
            refused.body = QJsonDocument(QJsonObject{{QStringLiteral("error"), tr("L'ordinateur de l'enseignant n'a pas "
                                                                                 "pu l'enregistrer ; nouvel essai dans un instant.")}})
                               .toJson(QJsonDocument::Compact);
            refused.headers.emplace_back("Retry-After", "2");
            send(waiting.socket, responseBytes(refused, waiting.closing), waiting.closing);
        }
    }
    if (!failure.isEmpty())
        m_requests.reportFailure(failure);
}

void SessionServer::send(QTcpSocket *socket, const QByteArray &bytes, bool closing)
{
    if (ConnectionGuard *guard = ConnectionGuard::of(socket))
        guard->responseSent();
    if (socket->state() != QAbstractSocket::ConnectedState)
        return;
    socket->write(bytes);
    if (closing)
        socket->disconnectFromHost();
}

QByteArray SessionServer::responseBytes(const ApiResponse &response, bool closing)
{
    static const QHash<int, QByteArray> reasons{
        {200, "OK"}, {400, "Bad Request"}, {401, "Unauthorized"}, {403, "Forbidden"}, {404, "Not Found"},
        {405, "Method Not Allowed"}, {408, "Request Timeout"}, {409, "Conflict"}, {410, "Gone"},
        {413, "Payload Too Large"}, {415, "Unsupported Media Type"}, {421, "Misdirected Request"},
        {422, "Unprocessable Entity"}, {429, "Too Many Requests"}, {500, "Internal Server Error"},
        {503, "Service Unavailable"}};
    QByteArray bytes = "HTTP/1.1 " + QByteArray::number(response.status) + ' '
        + reasons.value(response.status, "Unknown") + "\r\n";
    if (!response.contentType.isEmpty())
        bytes += "Content-Type: " + response.contentType + "\r\n";
    bytes += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    for (const auto &[name, value] : response.headers)
        bytes += name + ": " + value + "\r\n";
    bytes += closing ? "Connection: close\r\n\r\n" : "Connection: keep-alive\r\n\r\n";
    return bytes + response.body;
}

void SessionServer::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket)
{
    // handleRequest() answers everything.
    makeResponder(request, socket).write(QHttpServerResponder::StatusCode::NotFound);
}
