#include "platform/systemclock.h"

#ifdef NELO_HAS_TIMEDATED
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#endif

#if defined(Q_OS_UNIX)
#include <ctime>
#endif

namespace {

#ifdef NELO_HAS_TIMEDATED
enum class TimedatedAnswer { Set, Refused, Unreachable };

// An interactive request lets a polkit agent ask for the administrator's password; the person
// may take a while to type it, far longer than D-Bus's default 25 seconds.
constexpr int PasswordPromptTimeout = 5 * 60 * 1000;

TimedatedAnswer setThroughTimedated(qint64 microsecondsSinceEpoch)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return TimedatedAnswer::Unreachable;
    const QString service = QStringLiteral("org.freedesktop.timedate1");
    // Asking the bus first keeps a machine without systemd from starting nothing for a minute.
    QDBusConnectionInterface *busInterface = bus.interface();
    if (busInterface && !busInterface->isServiceRegistered(service).value()
        && !busInterface->activatableServiceNames().value().contains(service))
        return TimedatedAnswer::Unreachable;

    QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/timedate1"),
                                                       service, QStringLiteral("SetTime"));
    call << microsecondsSinceEpoch << false << true; // absolute time, interactive
    call.setInteractiveAuthorizationAllowed(true);
    const QDBusMessage reply = bus.call(call, QDBus::Block, PasswordPromptTimeout);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return TimedatedAnswer::Set;
    const QString error = reply.errorName();
    if (error == QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown")
        || error == QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner"))
        return TimedatedAnswer::Unreachable;
    // Access denied, automatic synchronisation on, password prompt dismissed or timed out.
    return TimedatedAnswer::Refused;
}
#endif

bool setDirectly(qint64 millisecondsSinceEpoch)
{
#if defined(Q_OS_UNIX)
    timespec moment{};
    moment.tv_sec = time_t(millisecondsSinceEpoch / 1000);
    moment.tv_nsec = long(millisecondsSinceEpoch % 1000) * 1000000L;
    return clock_settime(CLOCK_REALTIME, &moment) == 0;
#else
    Q_UNUSED(millisecondsSinceEpoch);
    return false;
#endif
}

} // namespace

bool SystemClock::setSystemTime(const QDateTime &local)
{
    if (!local.isValid())
        return false;
    // The local date and time become an instant through the system's own time-zone rules.
    const qint64 milliseconds = local.toLocalTime().toMSecsSinceEpoch();
    if (milliseconds < 0)
        return false;
#ifdef NELO_HAS_TIMEDATED
    switch (setThroughTimedated(milliseconds * 1000)) {
    case TimedatedAnswer::Set:
        return true;
    case TimedatedAnswer::Refused:
        return false;
    case TimedatedAnswer::Unreachable:
        break;
    }
#endif
    return setDirectly(milliseconds);
}
