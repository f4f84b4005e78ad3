#include "classroom/network/ratelimiter.h"

#include <algorithm>

RateLimiter::RateLimiter(double burst, double perSecond) : m_burst(burst), m_perMs(perSecond / 1000.0) {}

double RateLimiter::level(const Bucket &bucket, qint64 nowMs) const
{
    return std::min(m_burst, bucket.turns + double(std::max<qint64>(0, nowMs - bucket.atMs)) * m_perMs);
}

bool RateLimiter::allow(const QString &key, qint64 nowMs)
{
    auto it = m_buckets.find(key);
    if (it == m_buckets.end()) {
        // One look over every bucket a second at most: a flood of new keys costs no more.
        if (m_buckets.size() >= MaxKeys && nowMs - m_lastScanMs >= 1000) {
            m_lastScanMs = nowMs;
            forgetFullBuckets(nowMs);
        }
        if (m_buckets.size() >= MaxKeys)
            return false; // every key is busy: a flood, not a class
        it = m_buckets.insert(key, Bucket{m_burst, nowMs});
    }
    const double turns = level(*it, nowMs);
    it->atMs = std::max(it->atMs, nowMs);
    if (turns < 1) {
        it->turns = turns;
        return false;
    }
    it->turns = turns - 1;
    return true;
}

void RateLimiter::forgetFullBuckets(qint64 nowMs)
{
    for (auto it = m_buckets.begin(); it != m_buckets.end();) {
        if (level(*it, nowMs) >= m_burst)
            it = m_buckets.erase(it);
        else
            ++it;
    }
}
