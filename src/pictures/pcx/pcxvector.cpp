#include "pictures/pcx/pcxvector.h"

#include "pictures/pcx/pcxheader.h"

#include <QtAlgorithms>

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define NELO_PCX_SSSE3 1
#include <array>
#include <immintrin.h>
#endif

#ifdef NELO_PCX_SSSE3

namespace {

// A run that has this many values when a block begins could pass 63 within the block.
constexpr int LongestCarriedRun = Pcx::MaxRunLength - PcxVector::Block;
constexpr int TrueColourPlanes = 3;

// For each 8-bit mask, the byte shuffle that gathers the marked bytes of eight to the front,
// and how many there are.
struct GatherTable
{
    quint64 shuffle[256];
    uchar size[256];
};

constexpr GatherTable makeGatherTable()
{
    GatherTable table{};
    for (int mask = 0; mask < 256; ++mask) {
        int size = 0;
        for (int bit = 0; bit < 8; ++bit) {
            if (mask & (1 << bit))
                table.shuffle[mask] |= quint64(bit) << (8 * size++);
        }
        table.size[mask] = uchar(size);
    }
    return table;
}

constexpr GatherTable Gather = makeGatherTable();

// The shuffles that take one plane's bytes out of each of the three 16-byte thirds of 16 BGR
// pixels; 0x80 leaves a byte empty for another third to fill.
using Shuffle = std::array<char, 16>;

constexpr Shuffle planeShuffle(int plane, int third)
{
    Shuffle shuffle{};
    for (int pixel = 0; pixel < PcxVector::Block; ++pixel) {
        const int source = TrueColourPlanes * pixel + plane;
        shuffle[pixel] = source / 16 == third ? char(source % 16) : char(0x80);
    }
    return shuffle;
}

constexpr std::array<Shuffle, 9> PlaneShuffles{planeShuffle(0, 0), planeShuffle(0, 1), planeShuffle(0, 2),
                                               planeShuffle(1, 0), planeShuffle(1, 1), planeShuffle(1, 2),
                                               planeShuffle(2, 0), planeShuffle(2, 1), planeShuffle(2, 2)};

__attribute__((target("ssse3"))) __m128i loadShuffle(int plane, int third)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i *>(PlaneShuffles[size_t(3 * plane + third)].data()));
}

__attribute__((target("ssse3"))) __m128i gatherPlane(__m128i first, __m128i second, __m128i third, int plane)
{
    return _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(first, loadShuffle(plane, 0)),
                                     _mm_shuffle_epi8(second, loadShuffle(plane, 1))),
                        _mm_shuffle_epi8(third, loadShuffle(plane, 2)));
}

// Writes the marked bytes of the low eight of codes, in order, and returns where they end.
// Eight bytes are always stored: the unmarked tail is overwritten by the next write.
__attribute__((target("ssse3"))) uchar *writeMarked(uchar *out, __m128i codes, unsigned mask)
{
    const __m128i shuffle = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(&Gather.shuffle[mask]));
    _mm_storel_epi64(reinterpret_cast<__m128i *>(out), _mm_shuffle_epi8(codes, shuffle));
    return out + Gather.size[mask];
}

__attribute__((target("ssse3"))) int splitRowSsse3(const uchar *row, int width, uchar *red, uchar *green, uchar *blue)
{
    int x = 0;
    for (; x + PcxVector::Block <= width; x += PcxVector::Block, row += TrueColourPlanes * PcxVector::Block) {
        const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row));
        const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row + 16));
        const __m128i third = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row + 32));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(blue + x), gatherPlane(first, second, third, 0));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(green + x), gatherPlane(first, second, third, 1));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(red + x), gatherPlane(first, second, third, 2));
    }
    return x;
}

// Every value of a block gives two candidate code bytes: a run byte (0xC0 + the length of its
// run so far) and the value. Where a run ends both are kept, or the value alone for a run of
// one below 0xC0; elsewhere neither. The kept bytes are gathered eight candidates at a time.
__attribute__((target("ssse3"))) uchar *writeRunBlocksSsse3(const uchar *values, qint64 &start, qint64 end, uchar *out)
{
    // Offset by 64 so that "no run starts here" (0) is below every start, even one carried in.
    const __m128i startCodes = _mm_setr_epi8(64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 77, 78, 79);
    const __m128i lengthBase = _mm_add_epi8(startCodes, _mm_set1_epi8(1));
    const __m128i runFlag = _mm_set1_epi8(char(Pcx::RunFlag));
    const __m128i one = _mm_set1_epi8(1);
    const __m128i all = _mm_set1_epi8(char(0xFF));

    qint64 i = start;
    int carried = 0; // values before i in the run going on at i
    while (i + PcxVector::Block < end && carried <= LongestCarriedRun) {
        const __m128i value = _mm_loadu_si128(reinterpret_cast<const __m128i *>(values + i));
        const __m128i sameAsNext = _mm_cmpeq_epi8(value, _mm_loadu_si128(reinterpret_cast<const __m128i *>(values + i + 1)));
        // Where each value's run started (offset by 64), the carried run's start counting back
        // from 64; spread forward, then the distance from it is the length so far.
        __m128i runStart = _mm_andnot_si128(_mm_slli_si128(sameAsNext, 1), startCodes);
        runStart = _mm_sub_epi8(runStart, _mm_cvtsi32_si128(carried));
        runStart = _mm_max_epu8(runStart, _mm_slli_si128(runStart, 1));
        runStart = _mm_max_epu8(runStart, _mm_slli_si128(runStart, 2));
        runStart = _mm_max_epu8(runStart, _mm_slli_si128(runStart, 4));
        runStart = _mm_max_epu8(runStart, _mm_slli_si128(runStart, 8));
        const __m128i length = _mm_sub_epi8(lengthBase, runStart);

        const __m128i flagged = _mm_cmpeq_epi8(_mm_and_si128(value, runFlag), runFlag);
        const __m128i keepRunByte = _mm_andnot_si128(sameAsNext, _mm_or_si128(_mm_cmpgt_epi8(length, one), flagged));
        const __m128i keepValue = _mm_xor_si128(sameAsNext, all);
        const __m128i runByte = _mm_or_si128(length, runFlag);

        const __m128i low = _mm_unpacklo_epi8(runByte, value);
        const __m128i high = _mm_unpackhi_epi8(runByte, value);
        const unsigned lowKept = unsigned(_mm_movemask_epi8(_mm_unpacklo_epi8(keepRunByte, keepValue)));
        const unsigned highKept = unsigned(_mm_movemask_epi8(_mm_unpackhi_epi8(keepRunByte, keepValue)));
        out = writeMarked(out, low, lowKept & 0xFF);
        out = writeMarked(out, _mm_srli_si128(low, 8), lowKept >> 8);
        out = writeMarked(out, high, highKept & 0xFF);
        out = writeMarked(out, _mm_srli_si128(high, 8), highKept >> 8);

        const unsigned runEnds = unsigned(_mm_movemask_epi8(keepValue));
        // Past the last run that ended in this block, or the whole block onto the carried run.
        carried = runEnds ? int(qCountLeadingZeroBits(quint32(runEnds))) - 16 : carried + PcxVector::Block;
        i += PcxVector::Block;
    }
    start = i - carried;
    return out;
}

} // namespace

namespace PcxVector {

bool available()
{
    static const bool supported = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    return supported;
}

int splitRow(const uchar *row, int width, uchar *red, uchar *green, uchar *blue)
{
    return splitRowSsse3(row, width, red, green, blue);
}

uchar *writeRunBlocks(const uchar *values, qint64 &start, qint64 end, uchar *out)
{
    return writeRunBlocksSsse3(values, start, end, out);
}

} // namespace PcxVector

#else

namespace PcxVector {

bool available()
{
    return false;
}

int splitRow(const uchar *, int, uchar *, uchar *, uchar *)
{
    return 0;
}

uchar *writeRunBlocks(const uchar *, qint64 &, qint64, uchar *out)
{
    return out;
}

} // namespace PcxVector

#endif
