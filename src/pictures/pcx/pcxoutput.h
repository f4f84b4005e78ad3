#pragma once

#include <QtGlobal>

#include <vector>

class QIODevice;

// Collects bytes in a fixed-size buffer and hands them to the device whenever it is full,
// and once more at the end with exactly the bytes it holds.
class PcxOutput
{
public:
    PcxOutput(QIODevice &device, int bufferSize);

    void put(uchar byte)
    {
        if (m_used == m_buffer.size())
            flush();
        m_buffer[m_used++] = byte;
    }
    void put(const uchar *bytes, qint64 count);

    // Where up to count bytes may be written straight into the buffer (flushing first when
    // they would not fit), for loops that write many; null when the buffer is smaller than
    // count. commit() then tells where the written bytes end.
    uchar *reserve(size_t count)
    {
        if (count > m_buffer.size())
            return nullptr;
        if (m_buffer.size() - m_used < count)
            flush();
        return m_buffer.data() + m_used;
    }
    void commit(const uchar *end) { m_used = static_cast<size_t>(end - m_buffer.data()); }

    // Writes what is left; false when the device refused any of the bytes.
    bool finish();

    qint64 written() const { return m_written; }
    int flushes() const { return m_flushes; }

private:
    void flush();

    QIODevice &m_device;
    std::vector<uchar> m_buffer;
    size_t m_used = 0;
    qint64 m_written = 0;
    int m_flushes = 0;
    bool m_failed = false;
};
