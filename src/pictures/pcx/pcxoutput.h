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
