#pragma once

#include <QDateTime>
#include <QList>

// The local date and time, read and set. Windows that show or set the time go through this
// interface, so tests can fix the moment and never touch the machine's real clock.
class SystemClock
{
public:
    virtual ~SystemClock() = default;
    virtual QDateTime now() const { return QDateTime::currentDateTime(); }

    // Makes `local` (a local date and time) the system's time. Returns false when the system
    // refuses: no right to change the clock, automatic time synchronisation switched on, no
    // way to reach the clock at all. Goes through systemd-timedated on the system bus first,
    // which may ask the person for a password; without timedated, sets the clock directly.
    virtual bool setSystemTime(const QDateTime &local);
};

// A scripted clock for tests: it says the moment it is given, and records every setting asked
// of it. A setting it accepts becomes its moment; it refuses when told to, as an ordinary user
// is refused on most Linux machines.
class FixedClock : public SystemClock
{
public:
    explicit FixedClock(QDateTime moment) : m_moment(std::move(moment)) {}
    QDateTime now() const override { return m_moment; }
    void set(const QDateTime &moment) { m_moment = moment; }

    bool setSystemTime(const QDateTime &local) override
    {
        m_settings.append(local);
        if (m_refusing)
            return false;
        m_moment = local;
        return true;
    }
    void refuseSettings(bool refusing) { m_refusing = refusing; }
    const QList<QDateTime> &settings() const { return m_settings; }

private:
    QDateTime m_moment;
    QList<QDateTime> m_settings;
    bool m_refusing = false;
};
