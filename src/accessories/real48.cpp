#include "accessories/real48.h"

#include "accessories/floaterrors.h"

#include <cmath>

namespace {

constexpr int ExtendedBits = std::numeric_limits<Extended>::digits;
constexpr int DroppedBits = ExtendedBits - Real48::SignificandBits;
constexpr quint64 ImplicitOne = quint64(1) << (Real48::SignificandBits - 1);
constexpr int MaxExponent = 255;

} // namespace

Real48 Real48::fromBytes(const Bytes &bytes)
{
    Real48 real;
    // Zero has one pattern here, so that equal values compare equal byte for byte.
    if (bytes[0] != 0)
        real.m_bytes = bytes;
    return real;
}

Real48 Real48::fromExtended(Extended value)
{
    if (std::isnan(value))
        throw FloatErrors::invalidOperation();
    if (std::isinf(value))
        throw FloatErrors::overflow();
    if (value == 0)
        return Real48();

    int binaryExponent = 0;
    const Extended fraction = std::frexp(std::fabs(value), &binaryExponent); // in [0.5, 1)
    // Exact: the fraction has at most 64 significant bits.
    const auto full = static_cast<quint64>(std::ldexp(fraction, ExtendedBits));
    quint64 significand = (full >> DroppedBits) + ((full >> (DroppedBits - 1)) & 1);
    if (significand >> Real48::SignificandBits) {
        significand >>= 1;
        ++binaryExponent;
    }
    // value = significand * 2^(binaryExponent - 40) = 1.f * 2^(biased - 129)
    const int biased = binaryExponent + ExponentBias - 1;
    if (biased < 1)
        return Real48();
    if (biased > MaxExponent)
        throw FloatErrors::overflow();

    const quint64 stored = significand & (ImplicitOne - 1);
    Real48 real;
    real.m_bytes[0] = quint8(biased);
    for (int i = 1; i <= 5; ++i)
        real.m_bytes[i] = quint8(stored >> (8 * (i - 1)));
    if (value < 0)
        real.m_bytes[5] |= 0x80;
    return real;
}

Extended Real48::toExtended() const
{
    if (isZero())
        return 0;
    quint64 stored = 0;
    for (int i = 5; i >= 1; --i)
        stored = (stored << 8) | m_bytes[i];
    stored &= ImplicitOne - 1;
    const Extended magnitude =
        std::ldexp(static_cast<Extended>(stored | ImplicitOne), m_bytes[0] - ExponentBias - (SignificandBits - 1));
    return isNegative() ? -magnitude : magnitude;
}

bool operator==(const Real48 &a, const Real48 &b)
{
    return a.m_bytes == b.m_bytes;
}
