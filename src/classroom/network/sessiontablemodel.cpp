#include "classroom/network/sessiontablemodel.h"

#include "classroom/classtiming.h"
#include "classroom/network/networksession.h"
#include "results/resultsfile.h"

#include <QFont>

namespace {

std::vector<const NetworkSession::TakeOver *> waitingOf(const NetworkSession &session)
{
    std::vector<const NetworkSession::TakeOver *> waiting;
    for (const NetworkSession::TakeOver &asked : session.takeOvers()) {
        if (!asked.refused)
            waiting.push_back(&asked);
    }
    return waiting;
}

} // namespace

#include <algorithm>
#include <utility>

SessionTableModel::SessionTableModel(NetworkSession &session, QObject *parent)
    : QAbstractTableModel(parent), m_session(session), m_rows(session.pupilCount())
{
    connect(&session, &NetworkSession::pupilJoined, this, &SessionTableModel::pupilJoined);
    connect(&session, &NetworkSession::pupilChanged, this, &SessionTableModel::pupilChanged);
    connect(&session, &NetworkSession::sessionEnded, this, &SessionTableModel::everyRowChanged);
    connect(&session, &NetworkSession::takeOversChanged, this, &SessionTableModel::takeOversChanged);
    m_takeOvers = int(waitingOf(session).size());
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(RefreshMs);
    connect(&m_refresh, &QTimer::timeout, this, &SessionTableModel::tellChangedRows);
}

int SessionTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows + m_takeOvers;
}

int SessionTableModel::takeOverAt(int row) const
{
    if (!isTakeOverRow(row))
        return 0;
    const auto waiting = waitingOf(m_session);
    const size_t at = size_t(row - m_rows);
    return at < waiting.size() ? waiting[at]->id : 0;
}

void SessionTableModel::takeOversChanged()
{
    // Requests come and go one by one and rarely: the rows below the pupils are redrawn whole.
    const int now = int(waitingOf(m_session).size());
    if (now > m_takeOvers) {
        beginInsertRows(QModelIndex(), m_rows + m_takeOvers, m_rows + now - 1);
        m_takeOvers = now;
        endInsertRows();
    } else if (now < m_takeOvers) {
        beginRemoveRows(QModelIndex(), m_rows + now, m_rows + m_takeOvers - 1);
        m_takeOvers = now;
        endRemoveRows();
    }
    if (m_takeOvers > 0)
        Q_EMIT dataChanged(index(m_rows, 0), index(m_rows + m_takeOvers - 1, ColumnCount - 1));
    Q_EMIT takeOverRowsChanged();
}

int SessionTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString SessionTableModel::stateText(int row) const
{
    const NetworkPupil &pupil = m_session.pupil(row);
    QString text;
    if (pupil.removed)
        return ResultsFile::removedText();
    if (pupil.finishedAt.isValid())
        text = tr("terminé");
    else if (m_session.ended())
        text = tr("inachevé");
    else
        text = tr("en cours");
    if ((pupil.finishedAt.isValid() || m_session.ended()) && !pupil.kept)
        text += tr(" (pas encore enregistré)");
    return text;
}

// "12 min", "40 s", "écoulé", with what the pupil has beyond the limit: "1 h 5 min (+33 %, +5 min
// accordées)". Nothing once the copy is over, nor for an untimed one.
QString SessionTableModel::timeText(int row) const
{
    const NetworkPupil &pupil = m_session.pupil(row);
    const int left = m_session.remainingSeconds(pupil);
    if (left < 0 || !pupil.time.timed())
        return QString();
    QString text = left <= 0 ? tr("écoulé")
        : left < 60          ? tr("%1 s").arg(left)
                             : TimeAnnouncer::durationText(left);
    QStringList beyond;
    if (!pupil.time.extra().isNone())
        beyond << pupil.time.extra().text();
    if (pupil.time.grantedMinutes() > 0)
        beyond << (pupil.time.grantedMinutes() == 1 ? tr("+1 min accordée")
                                                    : tr("+%1 min accordées").arg(pupil.time.grantedMinutes()));
    if (!beyond.isEmpty())
        text += QStringLiteral(" (%1)").arg(beyond.join(QStringLiteral(", ")));
    return text;
}

void SessionTableModel::timeTicked()
{
    if (m_rows > 0)
        Q_EMIT dataChanged(index(0, TimeColumn), index(m_rows - 1, TimeColumn), {Qt::DisplayRole});
}

QVariant SessionTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows + m_takeOvers)
        return {};
    if (isTakeOverRow(index.row()))
        return takeOverData(index, role);
    const NetworkPupil &pupil = m_session.pupil(index.row());
    if (role == Qt::FontRole && pupil.removed) {
        QFont font;
        font.setStrikeOut(true);
        return font;
    }
    if (role == Qt::TextAlignmentRole && index.column() != NameColumn)
        return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    switch (index.column()) {
    case NameColumn:
        return pupil.name;
    case AnsweredColumn:
        return tr("%1 / %2").arg(pupil.run.answeredCount()).arg(pupil.run.size());
    case StateColumn:
        return stateText(index.row());
    case MarkColumn:
        if (!pupil.finishedAt.isValid() && !m_session.ended())
            return QString();
        if (!m_marksShown)
            return role == Qt::AccessibleTextRole ? tr("note masquée") : QStringLiteral("•••");
        return pupil.run.score().markedCount > 0 ? pupil.run.score().markText() : tr("sans note");
    case TimeColumn:
        return timeText(index.row());
    default:
        return {};
    }
}

QVariant SessionTableModel::takeOverData(const QModelIndex &index, int role) const
{
    const auto waiting = waitingOf(m_session);
    const size_t at = size_t(index.row() - m_rows);
    if (at >= waiting.size())
        return {};
    const NetworkPupil &pupil = m_session.pupil(waiting[at]->pupil);
    if (role == Qt::FontRole) {
        QFont font;
        font.setBold(true);
        return font;
    }
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    switch (index.column()) {
    case NameColumn:
        return tr("%1 : un autre appareil demande cette copie").arg(pupil.name);
    case AnsweredColumn:
        return tr("%1 / %2").arg(pupil.run.answeredCount()).arg(pupil.run.size());
    case StateColumn:
        return tr("demande");
    default:
        return QString();
    }
}

QVariant SessionTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case NameColumn: return tr("Élève");
    case AnsweredColumn: return tr("Réponses");
    case StateColumn: return tr("État");
    case MarkColumn: return tr("Note");
    case TimeColumn: return tr("Temps restant");
    default: return {};
    }
}

void SessionTableModel::setMarksShown(bool shown)
{
    if (m_marksShown == shown)
        return;
    m_marksShown = shown;
    if (m_rows > 0)
        Q_EMIT dataChanged(index(0, MarkColumn), index(m_rows - 1, MarkColumn));
}

QString SessionTableModel::summary() const
{
    int finished = 0;
    int pupils = 0;
    for (int row = 0; row < m_rows; ++row) {
        const NetworkPupil &pupil = m_session.pupil(row);
        if (pupil.removed)
            continue;
        ++pupils;
        finished += pupil.finishedAt.isValid() ? 1 : 0;
    }
    // French counts 0 and 1 in the singular.
    QString text = (pupils <= 1 ? tr("%1 élève") : tr("%1 élèves")).arg(pupils)
        + (finished <= 1 ? tr(", %1 a terminé") : tr(", %1 ont terminé")).arg(finished);
    if (m_takeOvers > 0)
        text += (m_takeOvers == 1 ? tr(" ; %1 demande attend votre réponse") : tr(" ; %1 demandes attendent votre réponse"))
                    .arg(m_takeOvers);
    return text;
}

void SessionTableModel::pupilJoined(int index)
{
    if (index < m_rows)
        return;
    beginInsertRows(QModelIndex(), m_rows, index);
    m_rows = index + 1;
    endInsertRows();
    Q_EMIT refreshed();
}

void SessionTableModel::pupilChanged(int index)
{
    if (index >= m_rows)
        return;
    m_firstChanged = m_firstChanged < 0 ? index : std::min(m_firstChanged, index);
    m_lastChanged = std::max(m_lastChanged, index);
    if (!m_refresh.isActive())
        m_refresh.start();
}

void SessionTableModel::tellChangedRows()
{
    if (m_firstChanged < 0)
        return;
    const int first = std::exchange(m_firstChanged, -1);
    const int last = std::exchange(m_lastChanged, -1);
    Q_EMIT dataChanged(index(first, 0), index(last, ColumnCount - 1));
    // A request row shows how far its copy is.
    if (m_takeOvers > 0)
        Q_EMIT dataChanged(index(m_rows, 0), index(m_rows + m_takeOvers - 1, ColumnCount - 1));
    Q_EMIT refreshed();
}

void SessionTableModel::everyRowChanged()
{
    m_refresh.stop();
    m_firstChanged = m_lastChanged = -1;
    if (m_rows > 0)
        Q_EMIT dataChanged(index(0, 0), index(m_rows - 1, ColumnCount - 1));
    Q_EMIT refreshed();
}
