#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QString>

#include <optional>

// The extra time a pupil's support plan gives him: a share of the time limit ("+33 %") or
// minutes added to it ("+10 min").
struct ExtraTime
{
    enum class Kind { None, Percent, Minutes };

    // Far above any plan: a value past them is a typing slip.
    static constexpr int MaxPercent = 200;
    static constexpr int MaxMinutes = 600;

    Kind kind = Kind::None;
    int amount = 0;

    bool isNone() const { return kind == Kind::None; }
    // The limit with it, in seconds, rounded up to the second.
    qint64 appliedTo(qint64 limitSeconds) const;
    // "+33 %", "+10 min"; empty for none.
    QString text() const;

    // "+33 %", "33%", "+ 10 min", "10 minutes"; empty (or "0") is none. Anything else gives
    // nothing, with the French reason in `problem`.
    static std::optional<ExtraTime> parse(const QString &text, QString *problem = nullptr);

    bool operator==(const ExtraTime &other) const { return kind == other.kind && amount == other.amount; }
    bool operator!=(const ExtraTime &other) const { return !(*this == other); }
};

// The time one copy is given, counted by the teacher's computer alone: from the moment the copy
// began on its clock, the limit with the pupil's extra time and the minutes the teacher grants
// during the run, plus the time the session spent interrupted (given back), and never past the
// hour the session closes. A copy without a limit and without a closing hour is untimed.
class CopyTime
{
public:
    CopyTime() = default;
    CopyTime(qint64 limitSeconds, ExtraTime extra, QDateTime started);

    bool timed() const { return m_limitSeconds > 0 || m_closes.isValid(); }
    bool limited() const { return m_limitSeconds > 0; }
    const ExtraTime &extra() const { return m_extra; }
    const QDateTime &started() const { return m_started; }

    // Minutes the teacher adds for this pupil during the run.
    void grantMinutes(int minutes);
    int grantedMinutes() const { return m_grantedMinutes; }
    // Time the copy could not be answered (the program stopped) is given back.
    void giveBack(qint64 milliseconds);
    qint64 givenBackMs() const { return m_givenBackMs; }
    // The session closes at `closes` (invalid: it does not): the copy ends then at the latest.
    void closeAt(const QDateTime &closes) { m_closes = closes; }

    // The limit with the extra time and the minutes granted, in seconds (0 when no limit).
    qint64 allowedSeconds() const;
    // The moment the copy ends on the teacher's clock; invalid when untimed.
    QDateTime deadline() const;
    // Whole seconds left at `now`, rounded up (a copy with 0,2 s left still has 1); 0 once
    // over; -1 when untimed.
    int remainingSeconds(const QDateTime &now) const;
    bool over(const QDateTime &now) const;

private:
    qint64 m_limitSeconds = 0;
    ExtraTime m_extra;
    QDateTime m_started;
    int m_grantedMinutes = 0;
    qint64 m_givenBackMs = 0;
    QDateTime m_closes;
};

// What the pupil is told of his time, calmly: the minutes left, and a few announcements for a
// screen reader (every five minutes, then at five minutes and one minute) instead of a text
// that changes every second.
class TimeAnnouncer
{
    Q_DECLARE_TR_FUNCTIONS(TimeAnnouncer)

public:
    enum class Warning { None, FiveMinutes, OneMinute, TimeUp };

    struct Announcement
    {
        QString text;  // empty: nothing to say now
        Warning warning = Warning::None;
    };

    // The next thing to say at `remainingSeconds`, once: the first call says where the time
    // stands, later calls speak only when a milestone is passed.
    Announcement next(int remainingSeconds);
    // The milestone `remainingSeconds` falls under: 0, 60, 300, then multiples of 300.
    static int milestoneOf(int remainingSeconds);
    static Warning warningOf(int milestone);

    // "Temps restant : 12 min", "Temps restant : moins d'une minute", "Temps écoulé".
    static QString shownText(int remainingSeconds);
    // What an invigilator reads on the copy of a pupil with extra time: "Temps majoré : +33 %
    // (1 h 14 min au lieu de 55 min)"; empty without extra time or without a limit.
    static QString invigilatorNote(const ExtraTime &extra, int limitMinutes);
    // "55 min", "1 h 14 min".
    static QString durationText(qint64 seconds);

private:
    std::optional<int> m_lastMilestone;
};
