#pragma once

#include <QtGlobal>

#include <vector>

struct PcxColour
{
    quint8 red = 0;
    quint8 green = 0;
    quint8 blue = 0;

    friend bool operator==(const PcxColour &a, const PcxColour &b)
    {
        return a.red == b.red && a.green == b.green && a.blue == b.blue;
    }
    friend bool operator!=(const PcxColour &a, const PcxColour &b) { return !(a == b); }
};

using PcxPalette = std::vector<PcxColour>;

// The grey palette used instead of colours when a file's palette information is 2: 2 levels
// (black, white), 16 levels (16 apart, so white is 240) or 256 levels (0 to 255).
PcxPalette greyPalette(int levels);
