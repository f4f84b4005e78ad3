#include "pictures/pcx/pcxruns.h"

#include "pictures/pcx/pcxheader.h"
#include "pictures/pcx/pcxoutput.h"
#include "pictures/pcx/pcxvector.h"

#include <QtAlgorithms>

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

// 0x80 in each byte of `word` that is 0, nothing elsewhere (no borrow from one byte to the next).
quint64 zeroBytes(quint64 word)
{
    constexpr quint64 LowSeven = ~HighBits;
    return ~(((word & LowSeven) + LowSeven) | word | LowSeven);
}

// The place, in memory order, of the first byte marked by zeroBytes().
qint64 firstMarkedByte(quint64 marks)
{
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    return qCountTrailingZeroBits(marks) / 8;
#else
    return qCountLeadingZeroBits(marks) / 8;
#endif
}

// Values each unlike the next one: a run byte of 1 always goes out, kept only when the value
// could itself be taken for a run byte, so no branch depends on the value.
uchar *writeLoneValues(uchar *out, const uchar *values, qint64 count)
{
    for (qint64 i = 0; i < count; ++i) {
        const uchar value = values[i];
        const int flagged = value >= Pcx::RunFlag;
        out[0] = uchar(Pcx::RunFlag | 1);
        out[flagged] = value;
        out += 1 + flagged;
    }
    return out;
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

void writePcxRuns(PcxOutput &output, const uchar *values, qint64 count, PcxLoops loops)
{
    const bool blocks = loops == PcxLoops::Fastest && PcxVector::available();
    qint64 start = 0;
    // Stretches of values are written straight into the output buffer, with room reserved for
    // the worst case: 2 bytes a value, plus one run that goes on past the stretch, plus what
    // the blocks store beyond their last byte.
    const qint64 stretch = 4096;
    while (start < count) {
        const qint64 limit = std::min(count, start + stretch);
        uchar *out = output.reserve(static_cast<size_t>(2 * (limit - start) + LongestRunBytes + PcxVector::StoreSlack));
        if (!out)
            break;
        while (start < limit) {
            // The blocks stop before a long run and at the stretch's end; the loop below writes
            // the run they left going on (or a word, or the line's last values), then hands back.
            if (blocks)
                out = PcxVector::writeRunBlocks(values, start, limit, out);
            // Eight values at a time: those unlike their next one (most of a photograph) go out
            // as lone values, copied as they are when none could be taken for a run byte; the
            // first equal pair, if any, starts a run below.
            if (start + LiteralWord < limit && start + LiteralWord < count) {
                const quint64 word = loadWord(values + start);
                const quint64 equalPairs = zeroBytes(word ^ loadWord(values + start + 1));
                const qint64 lone = equalPairs == 0 ? LiteralWord : firstMarkedByte(equalPairs);
                if (lone == LiteralWord && !hasRunByte(word)) {
                    std::memcpy(out, values + start, LiteralWord);
                    out += LiteralWord;
                } else {
                    out = writeLoneValues(out, values + start, lone);
                }
                start += lone;
                if (lone == LiteralWord)
                    continue;
            }
            const uchar value = values[start];
            if (start + 1 >= count || values[start + 1] != value) {
                out = writeLoneValues(out, values + start, 1);
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
