#pragma once

#include "classroom/network/sessionnetworking.h"

#include <QAbstractHttpServer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QPointer>
#include <QTcpSocket>

#include <deque>

class QTcpSocket;
class GuardedTcpServer;

// The session's HTTP server: Qt's server reads the requests, SessionRequests answers them. It
// listens on the one address the teacher chose, and only while the session window is open.
//
// A response that acknowledges something (an answer, a pupil joining, a run finished) goes
// only once the journal's syncing thread has put its line on the disk; the others go at once,
// unless an earlier response of the same connection is still waiting.
//
// Clients are untrusted, so each connection is bounded before Qt's server reads it: the bytes of
// one request, the time it may take to arrive, how long an idle connection stays open, and how
// many connections one device and all devices may hold. Past a bound the connection is closed;
// the teacher's program goes on serving everyone else.
class SessionServer : public QAbstractHttpServer, public SessionListener
{
    Q_OBJECT

public:
    using Limits = ServerLimits;

    SessionServer(SessionRequests &requests, Limits limits, QObject *parent = nullptr);
    explicit SessionServer(SessionRequests &requests, QObject *parent = nullptr);
    ~SessionServer() override;

    // Listens on `address` at `port` (0: any free one), after closing what listened before.
    // Returns the port, or 0 with the French reason in errorText().
    quint16 open(const QHostAddress &address, quint16 port);
    quint16 open(const QString &address, quint16 port) override;
    void close() override;
    bool isListening() const override;
    QString errorText() const override { return m_errorText; }
    QAbstractSocket::SocketError lastError() const { return m_error; }
    bool portTaken() const override { return m_error == QAbstractSocket::AddressInUseError; }
    void journalSynced(qint64 length, const QString &failure) override;

    // "192.168.1.20:8080", "[fe80::1]:8080": what a page's Host says when it reached us.
    static QString hostOf(const QHostAddress &address, quint16 port);

    int connectionCount() const;
    int waitingResponses() const { return int(m_waiting.size()); }

    // The bytes of a response: status line, headers, body.
    static QByteArray responseBytes(const ApiResponse &response, bool closing);

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    struct Waiting
    {
        QPointer<QTcpSocket> socket;
        QByteArray bytes;
        bool closing = false;
        qint64 durableAt = 0;
    };
    static void send(QTcpSocket *socket, const QByteArray &bytes, bool closing);

    SessionRequests &m_requests;
    std::deque<Waiting> m_waiting;
    Limits m_limits;
    QPointer<GuardedTcpServer> m_tcp;
    QElapsedTimer m_clock;
    QString m_errorText;
    QAbstractSocket::SocketError m_error = QAbstractSocket::UnknownSocketError;
};
