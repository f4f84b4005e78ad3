#include "classroom/pupil/teachercode.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

#include <algorithm>

namespace {

constexpr int SaltBytes = 16;

// Every byte compared whatever the first difference, so the time taken says nothing.
bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a.at(i) ^ b.at(i));
    return difference == 0;
}

} // namespace

QString TeacherCode::problemWith(const QString &code)
{
    if (code.size() < MinimumLength)
        return tr("Le code doit avoir au moins %1 caractères.").arg(MinimumLength);
    if (code.size() > MaximumLength)
        return tr("Le code doit avoir au plus %1 caractères.").arg(MaximumLength);
    return QString();
}

TeacherCode::TeacherCode(const QString &code, Clock clock) : m_clock(std::move(clock))
{
    m_salt.resize(SaltBytes);
    QRandomGenerator::system()->generate(reinterpret_cast<quint32 *>(m_salt.data()),
                                         reinterpret_cast<quint32 *>(m_salt.data() + SaltBytes));
    m_hash = hashOf(code);
}

QByteArray TeacherCode::hashOf(const QString &code) const
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(m_salt);
    hash.addData(code.toUtf8());
    return hash.result();
}

qint64 TeacherCode::waitMs() const
{
    return std::max<qint64>(0, m_heardFrom - m_clock());
}

TeacherCode::Check TeacherCode::check(const QString &typed)
{
    if (waitMs() > 0)
        return Check::Waiting;
    if (sameBytes(hashOf(typed), m_hash)) {
        m_wrongTries = 0;
        return Check::Accepted;
    }
    ++m_wrongTries;
    if (m_wrongTries >= FreeTries) {
        // 5 s after the third wrong try, then twice as long after each one, up to five minutes.
        const int doublings = std::min(m_wrongTries - FreeTries, 16);
        m_heardFrom = m_clock() + std::min(LongestWaitMs, FirstWaitMs << doublings);
    }
    return Check::Refused;
}
