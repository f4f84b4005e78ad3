#include "pictures/pcx/pcxpalette.h"

PcxPalette greyPalette(int levels)
{
    PcxPalette palette(static_cast<size_t>(qMax(levels, 0)));
    for (int i = 0; i < levels; ++i) {
        int level = 0;
        if (levels == 2)
            level = i * 255;
        else if (levels == 16)
            level = i * 16;
        else
            level = i;
        const auto grey = static_cast<quint8>(qBound(0, level, 255));
        palette[static_cast<size_t>(i)] = PcxColour{grey, grey, grey};
    }
    return palette;
}
