#include "pictures/pcx/pcxinput.h"

#include <QIODevice>

#include <algorithm>

PcxInput::PcxInput(QIODevice &device, int bufferSize)
    : m_device(&device), m_buffer(static_cast<size_t>(qMax(bufferSize, 1)))
{
}

PcxInput::PcxInput(const uchar *data, qint64 size, int bufferSize)
    : m_windowSize(qMax(bufferSize, 1)), m_memory(data), m_memoryEnd(data + qMax<qint64>(size, 0))
{
}

int PcxInput::refill()
{
    if (m_failed)
        return -1;
    if (!m_device) {
        if (m_memory == m_memoryEnd) {
            m_position = m_end = nullptr;
            return -1;
        }
        ++m_refills;
        m_position = m_memory;
        m_end = m_memory + std::min<qint64>(m_windowSize, m_memoryEnd - m_memory);
        m_memory = m_end;
        return *m_position++;
    }
    const qint64 got = m_device->read(reinterpret_cast<char *>(m_buffer.data()), qint64(m_buffer.size()));
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
