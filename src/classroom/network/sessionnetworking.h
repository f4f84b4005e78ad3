#pragma once

#include <QByteArray>
#include <QString>
#include <QtPlugin>

#include <memory>
#include <utility>
#include <vector>

// A request as the handlers see it, whatever carried it: the server fills it from the socket,
// the tests and the fuzz target write it directly.
struct ApiRequest
{
    enum class Method { Get, Head, Post, Other };

    Method method = Method::Get;
    QString path;      // decoded, without the query: "/api/answer", "/picture/3"
    QString query;     // decoded, after the "?"
    QByteArray body;
    QString peer;      // the client's address, for the limits on joining
    QString host;      // the Host and Origin headers, and the body's type
    QString origin;
    QByteArray contentType;
    qint64 nowMs = 0;  // a steady clock, for the limits on rates
};

struct ApiResponse
{
    int status = 200;
    QByteArray contentType;
    QByteArray body;
    std::vector<std::pair<QByteArray, QByteArray>> headers;
    // The journal's length that must be on the disk before this response may go (what it
    // acknowledges was written there); 0 when it acknowledges nothing.
    qint64 durableAt = 0;
    // The pupil whose token the request held, -1 for none: the server keeps slots for the
    // connections of pupils who joined.
    int pupil = -1;
};

// What the HTTP server asks of the session: requests answered, and the journal's progress on
// the disk, which acknowledgements wait for.
class SessionRequests
{
public:
    virtual ~SessionRequests() = default;
    // "192.168.1.20:8080": where the server listens, which requests must name.
    virtual void setHost(const QString &hostAndPort) = 0;
    virtual ApiResponse handle(const ApiRequest &request) = 0;
    virtual qint64 journalSyncedLength() const = 0;
    virtual void requestJournalSync() = 0;
    // Why an answer could not be written, in French, for the teacher.
    virtual void reportFailure(const QString &reason) = 0;
};

// The bounds on each connection, applied before a request is read: clients are untrusted.
//
// A connection becomes a pupil's once it has carried a pupil's token. Until then it may stay
// silent (no request begun) only silentMs, and such connections hold at most
// connections - pupilSlots: the rest is kept for pupils' connections, so that answers go on
// whatever other devices open. When those slots are full, a newcomer takes the place of the
// oldest idle connection (or one still sending its request after slowRequestMs) of the device
// holding the most, so a handful of devices cannot keep a class from joining either.
struct ServerLimits
{
    qint64 requestBytes = 16 * 1024;  // headers and body of one request
    int requestMs = 10000;            // from its first byte to its last
    int slowRequestMs = 1000;         // past this, a request still arriving may make room
    int silentMs = 5000;              // a connection that is not a pupil's, with no request begun
    int idleMs = 120000;              // a pupil's kept-alive connection with nothing to do
    int connections = 512;
    int connectionsPerPeer = 64;      // a browser opens six; a class behind one address more
    int pupilSlots = 192;             // of `connections`, kept for pupils' connections
    int connectionsPerPupil = 8;      // a pupil's beyond these count as anybody's
};

// The server as the session sees it.
class SessionListener
{
public:
    virtual ~SessionListener() = default;
    // Listens on `address` ("192.168.1.20") at `port` (0: any free one), after closing what
    // listened before. Returns the port, or 0 with the French reason in errorText().
    virtual quint16 open(const QString &address, quint16 port) = 0;
    virtual void close() = 0;
    virtual bool isListening() const = 0;
    virtual QString errorText() const = 0;
    // The last open() failed only because another program holds the port.
    virtual bool portTaken() const = 0;
    // The journal is on the disk up to `length`, or could not be written (`failure`, French):
    // the acknowledgements waiting for it go, or are refused.
    virtual void journalSynced(qint64 length, const QString &failure) = 0;
};

// An address at which pupils' devices may reach this computer.
struct LocalAddress
{
    QString address;        // "192.168.1.20"
    QString interfaceName;  // "wlp2s0", "enp3s0"...
    bool isVirtual = false; // a bridge for containers or virtual machines
    bool isLoopback = false; // this computer alone
};

// The session's networking: the HTTP server and the computer's addresses. It lives in a module
// of its own, nelo-session-server, loaded when a session on the network begins
// (SessionServerModule): Qt's network and HTTP server libraries, and those they bring, are not
// mapped at every start of the program.
//
// The module sees nothing of the program but this header.
class SessionNetworking
{
public:
    virtual ~SessionNetworking() = default;
    // The server, answering through `requests`, which must outlive it.
    virtual std::unique_ptr<SessionListener> listener(SessionRequests &requests, const ServerLimits &limits) const = 0;
    // The IPv4 addresses of the interfaces that are up: the school's network (private
    // addresses of a real interface) first, then other addresses, virtual bridges, and this
    // computer alone (127.0.0.1) last.
    virtual std::vector<LocalAddress> localAddresses() const = 0;
};

#define SessionNetworking_iid "org.example.NeloQcm.SessionNetworking/1.0"
Q_DECLARE_INTERFACE(SessionNetworking, SessionNetworking_iid)
