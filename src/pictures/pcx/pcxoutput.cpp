#include "pictures/pcx/pcxoutput.h"

#include <QIODevice>

PcxOutput::PcxOutput(QIODevice &device, int bufferSize)
    : m_device(device), m_buffer(static_cast<size_t>(qMax(bufferSize, 1)))
{
}

void PcxOutput::put(const uchar *bytes, qint64 count)
{
    for (qint64 i = 0; i < count; ++i)
        put(bytes[i]);
}

void PcxOutput::flush()
{
    if (m_used == 0)
        return;
    ++m_flushes;
    // After a refusal the rest is counted but not sent: finish() reports the failure.
    if (!m_failed) {
        const qint64 sent = m_device.write(reinterpret_cast<const char *>(m_buffer.data()), qint64(m_used));
        m_failed = sent != qint64(m_used);
    }
    m_written += qint64(m_used);
    m_used = 0;
}

bool PcxOutput::finish()
{
    flush();
    return !m_failed;
}
