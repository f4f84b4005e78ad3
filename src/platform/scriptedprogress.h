#pragma once

#include "platform/progress.h"

#include <QStringList>

// Progress for tests: records the stages, and stops the task at the step the test chose.
class ScriptedProgress : public Progress
{
public:
    // The task is stopped at the `steps`-th call of advance() (counted over all stages).
    void stopAfter(int steps) { m_stopAfter = steps; }

    void begin(const QString &label, qint64 total) override;
    bool advance(qint64 done) override;
    void end() override { ++m_ended; }

    const QStringList &stages() const { return m_stages; }
    int steps() const { return m_steps; }
    int ended() const { return m_ended; }
    // True when some step reported more done than its stage's total, or went backwards.
    bool misreported() const { return m_misreported; }

private:
    QStringList m_stages;
    qint64 m_total = 0;
    qint64 m_done = 0;
    int m_steps = 0;
    int m_stopAfter = -1;
    int m_ended = 0;
    bool m_misreported = false;
};
