#pragma once

#include <QtGlobal>

#include <array>
#include <limits>

// Every step of the calculator is computed in 80-bit extended precision (64-bit significand,
// round to nearest) before its result is stored back into six bytes; the stored values, and so
// what the user sees, depend on that intermediate precision. x86 and x86-64 compilers other
// than MSVC give `long double` exactly that format.
using Extended = long double;
static_assert(std::numeric_limits<Extended>::radix == 2 && std::numeric_limits<Extended>::digits == 64,
              "the calculator needs long double in 80-bit extended precision (64-bit significand)");

// The calculator's 6-byte real. Byte 0 holds the exponent biased by 129 (0 means the value
// is 0); bytes 1 to 5 hold the 39 stored bits of the 40-bit significand, least significant
// byte first, with the sign in the top bit of byte 5. The significand's leading 1 is implicit.
// Nonzero magnitudes run from 2^-128 to just under 2^127.
class Real48
{
public:
    using Bytes = std::array<quint8, 6>;

    static constexpr int ExponentBias = 129;
    static constexpr int SignificandBits = 40;

    Real48() = default;
    static Real48 fromBytes(const Bytes &bytes);

    // Stores an extended value: the 64-bit significand is cut to 40 bits by adding the first
    // dropped bit (halfway goes away from zero), magnitudes below 2^-128 become 0, and 2^127
    // or more throws AppError "Débordement flottant". A NaN throws "Opération flottante
    // incorrecte". Exact for every value the register can hold.
    static Real48 fromExtended(Extended value);

    Extended toExtended() const;
    const Bytes &bytes() const { return m_bytes; }

    bool isZero() const { return m_bytes[0] == 0; }
    bool isNegative() const { return !isZero() && (m_bytes[5] & 0x80) != 0; }

    friend bool operator==(const Real48 &a, const Real48 &b);
    friend bool operator!=(const Real48 &a, const Real48 &b) { return !(a == b); }

private:
    Bytes m_bytes{};
};
