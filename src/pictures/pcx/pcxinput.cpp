#include "pictures/pcx/pcxinput.h"

#include <QIODevice>

PcxInput::PcxInput(QIODevice &device, int bufferSize)
    : m_device(device), m_buffer(static_cast<size_t>(qMax(bufferSize, 1)))
{
}

int PcxInput::refill()
{
    if (m_failed)
        return -1;
    const qint64 got = m_device.read(reinterpret_cast<char *>(m_buffer.data()), qint64(m_buffer.size()));
    if (got <= 0) {
        m_failed = got < 0;
        m_position = m_end = nullptr;
        return -1;
    }
    ++m_refills;
    m_position = m_buffer.data();
    m_end = m_position + got;
    return *m_position++;
}
