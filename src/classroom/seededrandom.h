#pragma once

#include <QtGlobal>

#include <vector>

// A small random generator whose whole sequence follows from its seed, the same on every
// machine and compiler (the standard library's distributions are not): a pupil's version, a
// paper copy's order and a pupil's page are rebuilt from the seed alone. SplitMix64, with
// unbiased draws below a bound.
class SeededRandom
{
public:
    explicit SeededRandom(quint64 seed) : m_state(seed) {}

    quint64 next();
    // A number from 0 to bound - 1, every one equally likely; bound above 0.
    quint32 below(quint32 bound);

    // 0 to count - 1 in an order drawn from the generator (Fisher and Yates).
    std::vector<int> permutation(int count);

private:
    quint64 m_state;
};
