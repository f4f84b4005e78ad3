#pragma once

#include <QtGlobal>

#include <vector>

class QIODevice;

// Hands out the bytes of a device one at a time through a fixed-size buffer, refilled as it
// empties, so the run-length loop never asks the device for single bytes. A file already in
// memory is handed out in windows of the same size without being copied.
class PcxInput
{
public:
    PcxInput(QIODevice &device, int bufferSize);
    PcxInput(const uchar *data, qint64 size, int bufferSize);

    // The next byte, or -1 once the device has nothing more to give.
    int next()
    {
        if (m_position < m_end)
            return *m_position++;
        return refill();
    }

    // The unread part of the buffer, for loops that take many bytes at once: they read from
    // position() up to end() and then hand back where they stopped with advanceTo().
    const uchar *position() const { return m_position; }
    const uchar *end() const { return m_end; }
    void advanceTo(const uchar *position) { m_position = position; }
    // Refills the buffer once it is used up; false when the device has nothing more.
    bool fill()
    {
        if (m_position < m_end)
            return true;
        if (refill() < 0)
            return false;
        --m_position; // refill() hands out the first byte; put it back
        return true;
    }

    // True when the device reported an error rather than an ordinary end.
    bool failed() const { return m_failed; }
    // How many times the buffer was filled from the device.
    int refills() const { return m_refills; }

private:
    int refill();

    QIODevice *m_device = nullptr;
    std::vector<uchar> m_buffer;
    qint64 m_windowSize = 0;
    const uchar *m_memory = nullptr; // next window of a file in memory
    const uchar *m_memoryEnd = nullptr;
    const uchar *m_position = nullptr;
    const uchar *m_end = nullptr;
    bool m_failed = false;
    int m_refills = 0;
};
