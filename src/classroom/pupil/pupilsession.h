#pragma once

#include "classroom/classrun.h"
#include "classroom/classrunrecord.h"
#include "classroom/classtiming.h"

#include <QDateTime>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// A class taking a questionnaire at one computer, pupil after pupil, without any window: who
// is answering, their run, and the keeping of every run, finished or not. The pupil window
// shows it; a run is kept the moment it ends, so nothing depends on a window being closed.
class PupilSession
{
public:
    using Clock = std::function<QDateTime()>;
    using SeedSource = std::function<quint64()>;

    PupilSession(std::shared_ptr<const ClassQuestionnaire> questionnaire, const ClassSettings &settings,
                 ClassRunKeeper &keeper, Clock clock, SeedSource seeds);

    const ClassSettings &settings() const { return m_settings; }
    const ClassQuestionnaire &questionnaire() const { return *m_questionnaire; }

    // A new pupil's run, in a version of their own, timed by the settings' duration with the
    // pupil's extra time. The name may be empty.
    ClassRun &startPupil(const QString &name, const ExtraTime &extra = {});
    bool pupilAnswering() const { return m_run.has_value() && !m_run->finished(); }
    ClassRun *run() { return m_run ? &*m_run : nullptr; }
    const ClassRun *run() const { return m_run ? &*m_run : nullptr; }
    const QString &pupil() const { return m_pupil; }

    // The pupil has finished: the run is kept and its record returned. Throws AppError when
    // the run could not be kept; the run stays open then, so it can be kept again.
    ClassRunRecord finishPupil();
    // The teacher stops the session: a pupil's run still open is kept, marked unfinished.
    // Returns that record, or nothing when nobody was answering.
    std::optional<ClassRunRecord> stop();

    // The time of the pupil answering, counted by this computer's clock.
    const CopyTime &time() const { return m_time; }
    // Seconds left for the pupil answering; -1 when the run is not timed.
    int remainingSeconds() const;
    // When the pupil's time has run out: his run is kept as it stands (every answer given,
    // marked as timed out) and its record returned. Throws AppError as finishPupil() does.
    std::optional<ClassRunRecord> timeUpIfDue();
    // Minutes the teacher gives the pupil answering, for this run only. Throws AppError when no
    // one is answering or the run has no time limit.
    void grantMinutes(int minutes);

    // Names of the pupils whose runs were kept in this session, in order.
    const QStringList &pupilsDone() const { return m_done; }
    // The file the last run went to.
    const QString &lastFile() const { return m_lastFile; }

private:
    ClassRunRecord record(bool finished) const;
    ClassRunRecord keep(bool finished, bool timedOut = false);

    std::shared_ptr<const ClassQuestionnaire> m_questionnaire;
    ClassSettings m_settings;
    ClassRunKeeper &m_keeper;
    Clock m_clock;
    SeedSource m_seeds;
    std::optional<ClassRun> m_run;
    QString m_pupil;
    QDateTime m_started;
    CopyTime m_time;
    QStringList m_done;
    QString m_lastFile;
};
