#pragma once

#include "classroom/network/sessionapi.h"
#include "classroom/network/sessionnetworking.h"

#include <QCoreApplication>
#include <QObject>

#include <memory>
#include <vector>

class NetworkSession;
class PictureRegistry;
class SessionPictures;

// A session on the network as the session window runs it: the session, its pictures made
// ready, its handlers and its server, listening on the address the teacher chose. Nothing is
// served before listen() and nothing after the object goes. The server comes from the module
// nelo-session-server: making a ServedSession throws AppError, in French, when it is missing.
class ServedSession : public QObject
{
    Q_OBJECT

public:
    // The port tried first, and how many after it, before any free port: a resumed session
    // finds its pupils' pages at the port they know.
    static constexpr quint16 FirstPort = 8080;
    static constexpr int PortsTried = 20;

    ServedSession(std::unique_ptr<NetworkSession> session, const PictureRegistry &registry,
                  SessionApi::Limits apiLimits = {}, ServerLimits serverLimits = {}, QObject *parent = nullptr);
    ~ServedSession() override;

    NetworkSession &session() { return *m_session; }
    const NetworkSession &session() const { return *m_session; }
    const SessionPictures &pictures() const { return *m_pictures; }

    // Listens on `address`, at the session's port when it has one, else at the first free
    // port from FirstPort. False, with the French reason in errorText(), when it cannot.
    bool listen(const QString &address);
    void stop();
    bool listening() const;
    const QString &address() const { return m_address; }
    quint16 port() const { return m_port; }
    // "http://192.168.1.20:8080/", empty while not listening.
    QString pageAddress() const;
    const QString &errorText() const { return m_errorText; }

    // Where pupils' devices may reach this computer, the likeliest first.
    std::vector<LocalAddress> localAddresses() const;

Q_SIGNALS:
    // An answer could not be written down (the pupil's page sends it again).
    void failed(const QString &reason);

private:
    std::unique_ptr<NetworkSession> m_session;
    std::unique_ptr<SessionPictures> m_pictures;
    std::unique_ptr<SessionApi> m_api;
    const SessionNetworking &m_networking;
    std::unique_ptr<SessionListener> m_server;
    QString m_address;
    quint16 m_port = 0;
    QString m_errorText;
};
