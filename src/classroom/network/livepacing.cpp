#include "classroom/network/livepacing.h"

#include "classroom/network/networksession.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

struct Step
{
    LivePace::Step step;
    const char *name;
};

constexpr Step Steps[] = {{LivePace::Step::Waiting, "waiting"}, {LivePace::Step::Open, "open"},
                          {LivePace::Step::Answers, "answers"}, {LivePace::Step::Right, "right"},
                          {LivePace::Step::Over, "over"}};

} // namespace

QString LivePace::stepName(Step step)
{
    for (const auto &known : Steps) {
        if (known.step == step)
            return QString::fromLatin1(known.name);
    }
    return QStringLiteral("waiting");
}

LivePace::Step LivePace::stepOf(const QString &name)
{
    for (const auto &known : Steps) {
        if (name == QLatin1String(known.name))
            return known.step;
    }
    return Step::Waiting;
}

LivePacing::LivePacing(NetworkSession &session, QObject *parent) : QObject(parent), m_session(session)
{
    connect(&m_session, &NetworkSession::paceChanged, this, &LivePacing::changed);
    connect(&m_session, &NetworkSession::pupilChanged, this, &LivePacing::changed);
    connect(&m_session, &NetworkSession::pupilJoined, this, &LivePacing::changed);
    connect(&m_session, &NetworkSession::sessionEnded, this, &LivePacing::changed);
}

const LivePace &LivePacing::pace() const
{
    return m_session.pace();
}

int LivePacing::questionCount() const
{
    return m_session.questionnaire().size();
}

bool LivePacing::canGoNext() const
{
    return !m_session.ended() && pace().step != LivePace::Step::Over && pace().question + 1 < questionCount();
}

bool LivePacing::canShowAnswers() const
{
    return !m_session.ended() && pace().step == LivePace::Step::Open;
}

bool LivePacing::canShowRight() const
{
    const LivePace &now = pace();
    return !m_session.ended() && (now.step == LivePace::Step::Open || now.step == LivePace::Step::Answers)
           && m_session.questionnaire().question(now.question).marked();
}

bool LivePacing::canReopen() const
{
    return !m_session.ended() && pace().step == LivePace::Step::Answers;
}

void LivePacing::moveTo(LivePace::Step step, int question)
{
    LivePace next;
    next.step = step;
    next.question = question;
    if (step == LivePace::Step::Answers || step == LivePace::Step::Right) {
        const LiveTally shown = tally();
        m_session.setPace(next, &shown);
    } else {
        m_session.setPace(next);
    }
}

void LivePacing::next()
{
    if (canGoNext())
        moveTo(LivePace::Step::Open, pace().question + 1);
}

void LivePacing::showAnswers()
{
    if (canShowAnswers())
        moveTo(LivePace::Step::Answers, pace().question);
}

void LivePacing::showRight()
{
    if (canShowRight())
        moveTo(LivePace::Step::Right, pace().question);
}

void LivePacing::reopen()
{
    if (canReopen())
        moveTo(LivePace::Step::Open, pace().question);
}

void LivePacing::stepForward()
{
    switch (pace().step) {
    case LivePace::Step::Open:
        showAnswers();
        break;
    case LivePace::Step::Answers:
        if (canShowRight())
            showRight();
        else
            next();
        break;
    case LivePace::Step::Waiting:
    case LivePace::Step::Right:
        next();
        break;
    case LivePace::Step::Over:
        break;
    }
}

bool LivePacing::pressKey(int key)
{
    switch (key) {
    case Qt::Key_Right:
    case Qt::Key_Space:
    case Qt::Key_PageDown:
        stepForward();
        return true;
    case Qt::Key_Left:
    case Qt::Key_PageUp:
        reopen();
        return true;
    default:
        return false;
    }
}

LiveTally LivePacing::tally() const
{
    return tallyOf(m_session, pace().question);
}

LiveTally LivePacing::tallyOf(const NetworkSession &session, int question)
{
    LiveTally tally;
    for (int index = 0; index < session.pupilCount(); ++index) {
        const NetworkPupil &pupil = session.pupil(index);
        if (pupil.removed)
            continue;
        ++tally.joined;
        if (question < 0)
            continue;
        const AnswerSet ticked = pupil.run.answerSets()[size_t(question)];
        if (ticked == 0)
            continue;
        ++tally.answered;
        for (int answer = 1; answer <= int(tally.counts.size()); ++answer) {
            if (AnswerSets::contains(ticked, answer))
                ++tally.counts[size_t(answer - 1)];
        }
    }
    return tally;
}

QStringList LivePacing::notAnswered() const
{
    QStringList names;
    const int question = pace().question;
    if (question < 0)
        return names;
    for (int index = 0; index < m_session.pupilCount(); ++index) {
        const NetworkPupil &pupil = m_session.pupil(index);
        if (!pupil.removed && pupil.run.answerSets()[size_t(question)] == 0)
            names << pupil.name;
    }
    return names;
}

std::vector<LivePacing::Presence> LivePacing::presence() const
{
    std::vector<Presence> list;
    const QStringList &listed = m_session.start().classPupils;
    if (listed.isEmpty())
        return list;
    std::vector<bool> onList(size_t(m_session.pupilCount()), false);
    for (const QString &name : listed) {
        const QString clean = NetworkSessionRules::cleanName(name);
        Presence here{name, false};
        for (int index = 0; index < m_session.pupilCount(); ++index) {
            const NetworkPupil &pupil = m_session.pupil(index);
            if (!pupil.removed && pupil.name.compare(clean, Qt::CaseInsensitive) == 0) {
                here.joined = true;
                onList[size_t(index)] = true;
            }
        }
        list.push_back(here);
    }
    for (int index = 0; index < m_session.pupilCount(); ++index) {
        const NetworkPupil &pupil = m_session.pupil(index);
        if (!pupil.removed && !onList[size_t(index)])
            list.push_back({pupil.name, true});
    }
    return list;
}

QString LivePacing::tallyText() const
{
    const int question = pace().question;
    if (question < 0)
        return QString();
    const ClassQuestion &shown = m_session.questionnaire().question(question);
    const LiveTally counted = tally();
    const QLocale locale;
    QStringList parts;
    for (int answer : shown.answerNumbers()) {
        const int count = counted.counts[size_t(answer - 1)];
        const int percent = counted.answered > 0 ? int(std::lround(100.0 * count / counted.answered)) : 0;
        QString part = tr("%1 : %2 sur %3 (%4 %)")
                           .arg(shown.answers[size_t(answer - 1)])
                           .arg(count)
                           .arg(counted.answered)
                           .arg(locale.toString(percent));
        if (pace().rightShown() && (AnswerSets::contains(shown.rightAnswers, answer) || shown.rightAnswer == answer))
            part += tr(", bonne réponse");
        parts << part;
    }
    return parts.join(QStringLiteral(" ; "));
}
