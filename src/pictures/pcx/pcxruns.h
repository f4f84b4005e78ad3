#pragma once

#include <QtGlobal>

class PcxOutput;

// Which loops write the code bytes: the processor's vector instructions where it has them, or
// the portable loops alone (for comparing the two). Both give the same bytes.
enum class PcxLoops { Fastest, Portable };

// Writes one plane line as PCX code bytes. Runs are cut at the end of the values given, so a
// run never continues into the next plane line or row:
// - every full 63 equal values give the pair 0xFF, value;
// - of the rest r, nothing when r is 0, the value alone when r is 1 and the value is below
//   0xC0, otherwise the pair 0xC0 + r, value (so a lone 0xC8 becomes 0xC1 0xC8).
void writePcxRuns(PcxOutput &output, const uchar *values, qint64 count, PcxLoops loops = PcxLoops::Fastest);
