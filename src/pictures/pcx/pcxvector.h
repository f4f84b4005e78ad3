#pragma once

#include <QtGlobal>

// The encoder's two hot loops sixteen values at a time, with the byte shuffles of x86
// processors (SSSE3, every x86-64 processor made since 2008). Elsewhere available() is false
// and the encoder keeps its portable loops; both give the same bytes.
namespace PcxVector {

// Values taken per step.
constexpr int Block = 16;
// Bytes a step may write past the last code byte it means: room the caller keeps free.
constexpr int StoreSlack = 8;

// True when this processor runs the functions below.
bool available();

// Splits the first pixels of a 24-bit BMP row (blue, green, red) into the three plane lines,
// a block of pixels at a time, and returns how many it split: a multiple of Block, at most
// width. The rest is the caller's.
int splitRow(const uchar *row, int width, uchar *red, uchar *green, uchar *blue);

// Writes the code bytes of values[start...] block by block while a whole block and the value
// after it lie before end, and returns where its bytes end. start moves to the first value
// whose bytes are not written: the start of the run that was still going on, which the caller
// writes (with the values after it) in its own way. A run longer than 47 values when a block
// begins stops the loop there too, so every run it writes is at most 63 values long.
uchar *writeRunBlocks(const uchar *values, qint64 &start, qint64 end, uchar *out);

} // namespace PcxVector
