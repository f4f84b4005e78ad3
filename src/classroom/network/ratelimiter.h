#pragma once

#include <QHash>
#include <QString>

// How often one key (a pupil's token, a device's address) may act: a bucket of `burst` turns
// that fills again at `perSecond`, so a page may click quickly for a moment but no client can
// keep the teacher's program busy. Times are the caller's, in milliseconds, so tests step them.
class RateLimiter
{
public:
    RateLimiter(double burst, double perSecond);

    // Takes a turn for `key` at `nowMs`; false when its bucket is empty.
    bool allow(const QString &key, qint64 nowMs);

    // Keys remembered; full buckets are forgotten once there are many, so a flood of
    // addresses cannot fill the memory.
    int size() const { return int(m_buckets.size()); }
    static constexpr int MaxKeys = 4096;

private:
    struct Bucket
    {
        double turns = 0;
        qint64 atMs = 0;
    };
    double level(const Bucket &bucket, qint64 nowMs) const;
    void forgetFullBuckets(qint64 nowMs);

    double m_burst;
    double m_perMs;
    QHash<QString, Bucket> m_buckets;
    qint64 m_lastScanMs = -1000000;
};
