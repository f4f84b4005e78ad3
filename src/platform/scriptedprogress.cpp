#include "platform/scriptedprogress.h"

void ScriptedProgress::begin(const QString &label, qint64 total)
{
    m_stages.append(label);
    m_total = total;
    m_done = 0;
}

bool ScriptedProgress::advance(qint64 done)
{
    if (done < m_done || done > m_total)
        m_misreported = true;
    m_done = done;
    ++m_steps;
    return m_stopAfter < 0 || m_steps < m_stopAfter;
}
