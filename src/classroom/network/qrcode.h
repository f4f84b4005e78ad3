#pragma once

#include <QByteArray>

#include <vector>

// A QR code as a square of dark and light modules, drawn by whoever shows it.
struct QrCode
{
    int size = 0;               // modules a side, without the quiet zone around
    std::vector<bool> dark;     // row after row

    bool isDark(int x, int y) const { return dark[size_t(y) * size_t(size) + size_t(x)]; }
    bool isNull() const { return size == 0; }

    // The text encoded at the medium correction level (a code still read when a fifteenth of
    // it is hidden or blurred, as from the back of a room); null when it cannot be.
    static QrCode encode(const QByteArray &text);
};
