#include "classroom/classtiming.h"

#include <QRegularExpression>

#include <algorithm>
#include <limits>

namespace {

struct Text
{
    Q_DECLARE_TR_FUNCTIONS(ExtraTime)
};

constexpr int SecondsPerMinute = 60;
// Announcements above five minutes come every five minutes.
constexpr int AnnouncementStep = 5 * SecondsPerMinute;
constexpr int LastMinute = SecondsPerMinute;

} // namespace

qint64 ExtraTime::appliedTo(qint64 limitSeconds) const
{
    switch (kind) {
    case Kind::None:
        return limitSeconds;
    case Kind::Percent:
        return (limitSeconds * (100 + amount) + 99) / 100;
    case Kind::Minutes:
        return limitSeconds + qint64(amount) * SecondsPerMinute;
    }
    return limitSeconds;
}

QString ExtraTime::text() const
{
    switch (kind) {
    case Kind::None:
        return QString();
    case Kind::Percent:
        return QStringLiteral("+%1 %").arg(amount);
    case Kind::Minutes:
        return QStringLiteral("+%1 min").arg(amount);
    }
    return QString();
}

std::optional<ExtraTime> ExtraTime::parse(const QString &text, QString *problem)
{
    // Spreadsheets and people write the sign, the blanks (a no-break one among them) and the
    // unit in many ways; the number and its unit are what counts.
    const QString clean = text.simplified().replace(QChar(0x00A0), QLatin1Char(' ')).replace(QChar(0x202F), QLatin1Char(' '));
    ExtraTime extra;
    if (clean.isEmpty() || clean == QLatin1String("0") || clean == QLatin1String("+0"))
        return extra;
    static const QRegularExpression shape(QStringLiteral("^\\+?\\s*(\\d{1,4})\\s*(%|min|mn|minutes?)$"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = shape.match(clean);
    auto refuse = [&](const QString &reason) -> std::optional<ExtraTime> {
        if (problem)
            *problem = reason;
        return std::nullopt;
    };
    if (!match.hasMatch())
        return refuse(Text::tr("« %1 » n'est pas un temps majoré : écrivez par exemple +33 % ou +10 min.").arg(text.trimmed()));
    const int amount = match.captured(1).toInt();
    const bool percent = match.captured(2) == QLatin1String("%");
    if (amount == 0)
        return extra;
    if (percent && amount > MaxPercent)
        return refuse(Text::tr("« %1 » : un temps majoré ne dépasse pas +%2 %.").arg(text.trimmed()).arg(MaxPercent));
    if (!percent && amount > MaxMinutes)
        return refuse(Text::tr("« %1 » : un temps majoré ne dépasse pas +%2 min.").arg(text.trimmed()).arg(MaxMinutes));
    extra.kind = percent ? Kind::Percent : Kind::Minutes;
    extra.amount = amount;
    return extra;
}

CopyTime::CopyTime(qint64 limitSeconds, ExtraTime extra, QDateTime started)
    : m_limitSeconds(std::max<qint64>(0, limitSeconds)), m_extra(extra), m_started(std::move(started))
{
}

void CopyTime::grantMinutes(int minutes)
{
    m_grantedMinutes = std::max(0, m_grantedMinutes + minutes);
}

void CopyTime::giveBack(qint64 milliseconds)
{
    m_givenBackMs += std::max<qint64>(0, milliseconds);
}

qint64 CopyTime::allowedSeconds() const
{
    if (m_limitSeconds <= 0)
        return 0;
    return m_extra.appliedTo(m_limitSeconds) + qint64(m_grantedMinutes) * SecondsPerMinute;
}

QDateTime CopyTime::deadline() const
{
    if (!timed())
        return QDateTime();
    if (!limited())
        return m_closes;
    const QDateTime end = m_started.addMSecs(allowedSeconds() * 1000 + m_givenBackMs);
    return m_closes.isValid() ? std::min(end, m_closes) : end;
}

int CopyTime::remainingSeconds(const QDateTime &now) const
{
    if (!timed())
        return -1;
    const qint64 left = now.msecsTo(deadline());
    if (left <= 0)
        return 0;
    return int(std::min<qint64>((left + 999) / 1000, std::numeric_limits<int>::max()));
}

bool CopyTime::over(const QDateTime &now) const
{
    return timed() && remainingSeconds(now) == 0;
}

int TimeAnnouncer::milestoneOf(int remainingSeconds)
{
    if (remainingSeconds <= 0)
        return 0;
    if (remainingSeconds <= LastMinute)
        return LastMinute;
    return (remainingSeconds + AnnouncementStep - 1) / AnnouncementStep * AnnouncementStep;
}

TimeAnnouncer::Warning TimeAnnouncer::warningOf(int milestone)
{
    if (milestone == 0)
        return Warning::TimeUp;
    if (milestone == LastMinute)
        return Warning::OneMinute;
    if (milestone == AnnouncementStep)
        return Warning::FiveMinutes;
    return Warning::None;
}

TimeAnnouncer::Announcement TimeAnnouncer::next(int remainingSeconds)
{
    if (remainingSeconds < 0)
        return {};
    const int milestone = milestoneOf(remainingSeconds);
    if (m_lastMilestone && milestone == *m_lastMilestone)
        return {};
    // The first word, or time granted meanwhile (the milestone moved up), tells where the time
    // stands; counting down, each milestone passed is said once.
    const bool countingDown = m_lastMilestone && milestone < *m_lastMilestone;
    m_lastMilestone = milestone;
    Announcement said;
    said.warning = countingDown || milestone == 0 ? warningOf(milestone) : Warning::None;
    if (milestone == 0)
        said.text = tr("Temps écoulé. Vos réponses sont enregistrées.");
    else if (milestone == LastMinute)
        said.text = remainingSeconds < LastMinute ? tr("Attention : il reste moins d'une minute.")
                                                  : tr("Attention : il reste 1 minute.");
    else if (milestone == AnnouncementStep && countingDown)
        said.text = tr("Attention : il reste 5 minutes.");
    else
        said.text = tr("Il reste %1.").arg(durationText(countingDown ? milestone : remainingSeconds));
    return said;
}

QString TimeAnnouncer::durationText(qint64 seconds)
{
    const qint64 minutes = (std::max<qint64>(0, seconds) + SecondsPerMinute - 1) / SecondsPerMinute;
    if (minutes < 60)
        return tr("%1 min").arg(minutes);
    if (minutes % 60 == 0)
        return tr("%1 h").arg(minutes / 60);
    return tr("%1 h %2 min").arg(minutes / 60).arg(minutes % 60);
}

QString TimeAnnouncer::shownText(int remainingSeconds)
{
    if (remainingSeconds <= 0)
        return tr("Temps écoulé");
    if (remainingSeconds < SecondsPerMinute)
        return tr("Temps restant : moins d'une minute");
    return tr("Temps restant : %1").arg(durationText(remainingSeconds));
}

QString TimeAnnouncer::invigilatorNote(const ExtraTime &extra, int limitMinutes)
{
    if (extra.isNone() || limitMinutes <= 0)
        return QString();
    const qint64 limit = qint64(limitMinutes) * SecondsPerMinute;
    return tr("Temps majoré : %1 (%2 au lieu de %3)")
        .arg(extra.text(), durationText(extra.appliedTo(limit)), durationText(limit));
}
