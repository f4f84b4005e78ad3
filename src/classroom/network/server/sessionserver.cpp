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
    ConnectionGuard(QTcpSocket *socket, QObject *httpServer, const ServerLimits &limits)
        : QObject(socket), m_socket(socket), m_httpServer(httpServer), m_limits(limits)
    {
        setObjectName(QLatin1String(GuardName));
        m_requestTimer.setSingleShot(true);
        m_idleTimer.setSingleShot(true);
        connect(&m_requestTimer, &QTimer::timeout, this, [this] { refuse("408 Request Timeout"); });
        connect(&m_idleTimer, &QTimer::timeout, this, [this] { close(); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        // Connected before Qt's server connects its own: this one sees the bytes first.
        m_reading = connect(socket, &QTcpSocket::readyRead, this, [this] { bytesArrived(); });
        // Qt's server reads no further than the socket's buffer: one request and a little more.
        socket->setReadBufferSize(2 * limits.requestBytes);
        m_idleTimer.start(limits.idleMs);
    }

    // A response went out: the next request starts from nothing.
    void requestDone()
    {
        m_requestBytes = 0;
        m_requestTimer.stop();
    }

private:
    void bytesArrived()
    {
        m_idleTimer.start(m_limits.idleMs);
        if (m_requestBytes == 0)
            m_requestTimer.start(m_limits.requestMs);
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
        m_idleTimer.start(1000);
    }

    void close()
    {
        m_socket->abort();
        m_socket->deleteLater();
    }

    QTcpSocket *m_socket;
    QObject *m_httpServer;
    const ServerLimits m_limits;
    QTimer m_requestTimer;
    QTimer m_idleTimer;
    QMetaObject::Connection m_reading;
    qint64 m_requestBytes = 0;
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
// sees them.
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

    int connectionCount() const { return m_count; }

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto *socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        const QString peer = socket->peerAddress().toString();
        int &fromPeer = m_perPeer[peer];
        if (m_count >= m_limits.connections || fromPeer >= m_limits.connectionsPerPeer) {
            if (fromPeer == 0)
                m_perPeer.remove(peer);
            socket->abort();
            socket->deleteLater();
            return;
        }
        ++m_count;
        ++fromPeer;
        auto *guard = new ConnectionGuard(socket, parent(), m_limits);
        connect(guard, &QObject::destroyed, this, [this, peer] {
            --m_count;
            auto it = m_perPeer.find(peer);
            if (it != m_perPeer.end() && --*it <= 0)
                m_perPeer.erase(it);
        });
        addPendingConnection(socket);
    }

private:
    const ServerLimits m_limits;
    int m_count = 0;
    QHash<QString, int> m_perPeer;
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
    if (auto *guard = static_cast<ConnectionGuard *>(socket->findChild<QObject *>(QLatin1String(GuardName),
                                                                                  Qt::FindDirectChildrenOnly)))
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
    while (!m_waiting.empty() && m_waiting.front().durableAt <= length) {
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
