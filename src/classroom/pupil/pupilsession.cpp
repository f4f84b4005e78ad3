#include "classroom/pupil/pupilsession.h"

#include "platform/apperror.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

struct Text
{
    Q_DECLARE_TR_FUNCTIONS(PupilSession)
};

} // namespace

PupilSession::PupilSession(std::shared_ptr<const ClassQuestionnaire> questionnaire, const ClassSettings &settings,
                           ClassRunKeeper &keeper, Clock clock, SeedSource seeds)
    : m_questionnaire(std::move(questionnaire)), m_settings(settings), m_keeper(keeper), m_clock(std::move(clock)),
      m_seeds(std::move(seeds))
{
}

ClassRun &PupilSession::startPupil(const QString &name, const ExtraTime &extra)
{
    m_pupil = name.simplified();
    m_started = m_clock();
    m_time = CopyTime(qint64(m_settings.durationMinutes) * 60, extra, m_started);
    m_run.emplace(m_questionnaire, m_settings, m_seeds());
    return *m_run;
}

ClassRunRecord PupilSession::record(bool finished) const
{
    ClassRunRecord record;
    record.way = ClassRunRecord::Way::Computer;
    record.pupil = m_pupil;
    record.started = m_started;
    record.durationSeconds = std::max<qint64>(0, m_started.secsTo(m_clock()));
    record.seed = m_run->version().seed();
    record.finished = finished;
    record.answers = m_run->answers();
    record.ticked = m_run->answerSets();
    record.score = m_run->score();
    return record;
}

int PupilSession::remainingSeconds() const
{
    return pupilAnswering() ? m_time.remainingSeconds(m_clock()) : -1;
}

std::optional<ClassRunRecord> PupilSession::timeUpIfDue()
{
    if (!pupilAnswering() || !m_time.over(m_clock()))
        return std::nullopt;
    return keep(true, true);
}

void PupilSession::grantMinutes(int minutes)
{
    if (!pupilAnswering())
        throw AppError(Text::tr("Aucun élève ne répond : il n'y a pas de copie à qui accorder du temps."));
    if (!m_time.limited())
        throw AppError(Text::tr("Cette passation n'a pas de durée : le temps de l'élève n'est pas compté."));
    m_time.grantMinutes(minutes);
}

ClassRunRecord PupilSession::keep(bool finished, bool timedOut)
{
    ClassRunRecord kept = record(finished);
    kept.timedOut = timedOut;
    m_lastFile = m_keeper.keep(kept);
    m_run->finish();
    m_done << m_pupil;
    return kept;
}

ClassRunRecord PupilSession::finishPupil()
{
    Q_ASSERT(pupilAnswering());
    return keep(true);
}

std::optional<ClassRunRecord> PupilSession::stop()
{
    if (!pupilAnswering())
        return std::nullopt;
    return keep(false);
}
