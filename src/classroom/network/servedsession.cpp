#include "classroom/network/servedsession.h"

#include "classroom/network/networksession.h"
#include "classroom/network/sessionaddresses.h"
#include "classroom/network/sessionpictures.h"
#include "classroom/network/sessionservermodule.h"
#include "document/picturelocation.h"
#include "platform/apperror.h"

ServedSession::ServedSession(std::unique_ptr<NetworkSession> session, const PictureRegistry &registry,
                             SessionApi::Limits apiLimits, ServerLimits serverLimits, QObject *parent)
    : QObject(parent), m_session(std::move(session)), m_networking(loadSessionNetworking())
{
    const NetworkSessionStart &start = m_session->start();
    const QString folder = start.pictureFolder.isEmpty() ? PictureLocation::folderOf(start.questionnairePath)
                                                         : start.pictureFolder;
    m_pictures = std::make_unique<SessionPictures>(m_session->questionnaire(), folder, registry);
    m_api = std::make_unique<SessionApi>(*m_session, [this](int question) { return m_pictures->lookup(question); },
                                         apiLimits);
    m_api->setFailureListener([this](const QString &reason) { Q_EMIT failed(reason); });
    m_server = m_networking.listener(*m_api, serverLimits);
    // The server goes before the session (see the destructor): nothing is forwarded to it then.
    connect(m_session.get(), &NetworkSession::journalSynced, this, [this](qint64 length, const QString &failure) {
        if (m_server)
            m_server->journalSynced(length, failure);
    });
}

ServedSession::~ServedSession()
{
    // The server goes first: no request reaches handlers or a session that are going.
    m_server.reset();
}

bool ServedSession::listen(const QString &address)
{
    m_errorText.clear();
    std::vector<quint16> ports;
    if (m_session->start().port != 0)
        ports.push_back(m_session->start().port);
    for (int i = 0; i < PortsTried; ++i)
        ports.push_back(quint16(FirstPort + i));
    ports.push_back(0);
    QString firstError;
    for (quint16 port : ports) {
        const quint16 opened = m_server->open(address, port);
        if (opened != 0) {
            m_address = address;
            m_port = opened;
            try {
                m_session->noteAddress(address, opened);
            } catch (const AppError &error) {
                Q_EMIT failed(error.message());
            }
            return true;
        }
        if (firstError.isEmpty())
            firstError = m_server->errorText();
        // An address that is not this computer's is not cured by another port.
        if (!m_server->portTaken())
            break;
    }
    m_port = 0;
    m_errorText = firstError;
    return false;
}

void ServedSession::stop()
{
    m_server->close();
    m_port = 0;
}

bool ServedSession::listening() const
{
    return m_server->isListening();
}

QString ServedSession::pageAddress() const
{
    return listening() ? SessionAddresses::pageAddress(m_address, m_port) : QString();
}

std::vector<LocalAddress> ServedSession::localAddresses() const
{
    return m_networking.localAddresses();
}
