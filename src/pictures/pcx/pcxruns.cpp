#include "pictures/pcx/pcxruns.h"

#include "pictures/pcx/pcxheader.h"
#include "pictures/pcx/pcxoutput.h"

#include <algorithm>
#include <cstring>

namespace {

// The longest plane line (65,535 values) as one run takes 2 bytes per 63 values.
constexpr qint64 MaxLineValues = 0xFFFF;
constexpr qint64 LongestRunBytes = 2 * ((MaxLineValues + Pcx::MaxRunLength - 1) / Pcx::MaxRunLength);

// Writes one run at out and returns where its bytes end.
uchar *encodeRun(uchar *out, uchar value, qint64 length)
{
    // Lone values are most of a photograph: no division for them.
    if (length == 1) {
        // A lone value below 0xC0 cannot be mistaken for a run byte, so it stands for itself.
        if (value >= Pcx::RunFlag)
            *out++ = uchar(Pcx::RunFlag | 1);
        *out++ = value;
        return out;
    }
    for (qint64 full = length / Pcx::MaxRunLength; full > 0; --full) {
        *out++ = uchar(Pcx::RunFlag | Pcx::MaxRunLength);
        *out++ = value;
    }
    const int rest = int(length % Pcx::MaxRunLength);
    if (rest == 0)
        return out;
    if (rest == 1 && value < Pcx::RunFlag) {
        *out++ = value;
        return out;
    }
    *out++ = uchar(Pcx::RunFlag | rest);
    *out++ = value;
    return out;
}

constexpr qint64 LiteralWord = 8;
constexpr quint64 HighBits = 0x8080808080808080ull;
constexpr quint64 LowBits = 0x0101010101010101ull;

quint64 loadWord(const uchar *bytes)
{
    quint64 word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// A byte of 0xC0 or more has its two top bits set.
bool hasRunByte(quint64 word)
{
    return (word & (word << 1) & HighBits) != 0;
}

bool hasZeroByte(quint64 word)
{
    return ((word - LowBits) & ~word & HighBits) != 0;
}

qint64 runEnd(const uchar *values, qint64 start, qint64 count)
{
    const uchar value = values[start];
    qint64 end = start + 1;
    while (end < count && values[end] == value)
        ++end;
    return end;
}

} // namespace

void writePcxRuns(PcxOutput &output, const uchar *values, qint64 count)
{
    qint64 start = 0;
    // Stretches of values are written straight into the output buffer, with room reserved for
    // the worst case: 2 bytes a value, plus one run that goes on past the stretch.
    const qint64 stretch = 4096;
    while (start < count) {
        const qint64 limit = std::min(count, start + stretch);
        uchar *out = output.reserve(static_cast<size_t>(2 * (limit - start) + LongestRunBytes));
        if (!out)
            break;
        while (start < limit) {
            // Eight values at once where none equals its neighbour, as in most of a photograph:
            // they go out as they are when none could be taken for a run byte.
            if (start + LiteralWord < limit && start + LiteralWord < count) {
                const quint64 word = loadWord(values + start);
                if (!hasZeroByte(word ^ loadWord(values + start + 1))) {
                    if (!hasRunByte(word)) {
                        std::memcpy(out, values + start, LiteralWord);
                        out += LiteralWord;
                    } else {
                        // Lone values all of them, some needing a run byte of 1 in front.
                        for (qint64 i = 0; i < LiteralWord; ++i) {
                            const uchar value = values[start + i];
                            const int flagged = value >= Pcx::RunFlag;
                            out[0] = uchar(Pcx::RunFlag | 1);
                            out[flagged] = value;
                            out += 1 + flagged;
                        }
                    }
                    start += LiteralWord;
                    continue;
                }
            }
            // A value unlike the next one, most of a photograph, is written without a branch
            // on its value: a run byte of 1 always goes out, and is kept only when needed.
            const uchar value = values[start];
            if (start + 1 >= count || values[start + 1] != value) {
                const int flagged = value >= Pcx::RunFlag;
                out[0] = uchar(Pcx::RunFlag | 1);
                out[flagged] = value;
                out += 1 + flagged;
                ++start;
                continue;
            }
            const qint64 end = runEnd(values, start, count);
            out = encodeRun(out, value, end - start);
            start = end;
        }
        output.commit(out);
    }
    // Buffers too small to reserve in take the bytes one by one.
    uchar pair[LongestRunBytes];
    while (start < count) {
        const qint64 end = runEnd(values, start, count);
        const uchar *pairEnd = encodeRun(pair, values[start], end - start);
        output.put(pair, pairEnd - pair);
        start = end;
    }
}
