#include "classroom/seededrandom.h"

#include <numeric>
#include <utility>

quint64 SeededRandom::next()
{
    quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

quint32 SeededRandom::below(quint32 bound)
{
    Q_ASSERT(bound > 0);
    // Draws in the last incomplete stretch of 2^32 would favour the small numbers: draw again.
    const quint32 limit = quint32(-bound) % bound;
    for (;;) {
        const quint32 draw = quint32(next() >> 32);
        if (draw >= limit)
            return draw % bound;
    }
}

std::vector<int> SeededRandom::permutation(int count)
{
    std::vector<int> order(size_t(std::max(count, 0)));
    std::iota(order.begin(), order.end(), 0);
    for (int i = count - 1; i > 0; --i)
        std::swap(order[size_t(i)], order[size_t(below(quint32(i + 1)))]);
    return order;
}
