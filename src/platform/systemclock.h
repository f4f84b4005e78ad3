#pragma once

#include <QDateTime>

// The local date and time. Windows that show the time read it through this interface, so tests
// can fix the moment instead of racing the real clock.
class SystemClock
{
public:
    virtual ~SystemClock() = default;
    virtual QDateTime now() const { return QDateTime::currentDateTime(); }
};

// A clock that always says the same moment, for tests.
class FixedClock : public SystemClock
{
public:
    explicit FixedClock(QDateTime moment) : m_moment(std::move(moment)) {}
    QDateTime now() const override { return m_moment; }
    void set(const QDateTime &moment) { m_moment = moment; }

private:
    QDateTime m_moment;
};
