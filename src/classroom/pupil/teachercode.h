#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <functional>

// The code the teacher chooses when a class run starts at the class computer, and without which
// the pupils' window does not give the computer back. Only a salted hash is kept, in memory:
// the code is written nowhere. After three wrong tries, each further try waits longer, so a
// pupil cannot go through the codes at the keyboard.
class TeacherCode
{
    Q_DECLARE_TR_FUNCTIONS(TeacherCode)

public:
    // Milliseconds on a clock that only goes forward.
    using Clock = std::function<qint64()>;

    static constexpr int MinimumLength = 4;
    static constexpr int MaximumLength = 64;
    static constexpr int FreeTries = 3;
    static constexpr qint64 FirstWaitMs = 5000;
    static constexpr qint64 LongestWaitMs = 5 * 60 * 1000;

    // What is wrong with a code the teacher proposes, in French; empty when it will do.
    static QString problemWith(const QString &code);

    // `code` must have no problem.
    TeacherCode(const QString &code, Clock clock);

    enum class Check { Accepted, Refused, Waiting };
    // A try: Waiting (not counted) while the last wrong try's delay runs.
    Check check(const QString &typed);
    // How long before the next try is heard: 0 when it may come now.
    qint64 waitMs() const;
    int wrongTries() const { return m_wrongTries; }

private:
    QByteArray hashOf(const QString &code) const;

    QByteArray m_salt;
    QByteArray m_hash;
    Clock m_clock;
    int m_wrongTries = 0;
    qint64 m_heardFrom = 0;
};
