#include "pictures/pcx/pcxruns.h"

#include "pictures/pcx/pcxheader.h"
#include "pictures/pcx/pcxoutput.h"

namespace {

void writeRun(PcxOutput &output, uchar value, qint64 length)
{
    // Lone values are most of a photograph: no division for them.
    if (length == 1) {
        if (value >= Pcx::RunFlag)
            output.put(uchar(Pcx::RunFlag | 1));
        output.put(value);
        return;
    }
    for (qint64 full = length / Pcx::MaxRunLength; full > 0; --full) {
        output.put(uchar(Pcx::RunFlag | Pcx::MaxRunLength));
        output.put(value);
    }
    const int rest = int(length % Pcx::MaxRunLength);
    if (rest == 0)
        return;
    // A lone value below 0xC0 cannot be mistaken for a run byte, so it stands for itself.
    if (rest == 1 && value < Pcx::RunFlag) {
        output.put(value);
        return;
    }
    output.put(uchar(Pcx::RunFlag | rest));
    output.put(value);
}

} // namespace

void writePcxRuns(PcxOutput &output, const uchar *values, qint64 count)
{
    qint64 start = 0;
    while (start < count) {
        const uchar value = values[start];
        qint64 end = start + 1;
        while (end < count && values[end] == value)
            ++end;
        writeRun(output, value, end - start);
        start = end;
    }
}
