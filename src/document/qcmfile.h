#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Whole-file reads and writes of questionnaires. Failures throw AppError with a French message
// that names the reason ("le disque est plein", "accès refusé"...).
namespace QcmFile {

// A questionnaire is text: a bigger file is not one, and reading it would only fill the memory.
inline constexpr qint64 MaxSize = qint64(256) * 1024 * 1024;

// What a file looked like when the program last read or wrote it, to notice that another
// program changed it since.
struct Stamp
{
    qint64 size = -1; // -1: no such file
    QDateTime modified;

    bool operator==(const Stamp &other) const { return size == other.size && modified == other.modified; }
    bool operator!=(const Stamp &other) const { return !(*this == other); }
};
Stamp stampOf(const QString &path);

// What a questionnaire file held when the program last read or wrote it: its size and a hash of
// its bytes. Unlike a stamp it also sees a rewrite of the same size that keeps the file's time;
// a questionnaire is small enough to be read again to compare.
struct Fingerprint
{
    qint64 size = -1; // -1: nothing read or written yet
    size_t hash = 0;

    bool operator==(const Fingerprint &other) const { return size == other.size && hash == other.hash; }
    bool operator!=(const Fingerprint &other) const { return !(*this == other); }
};
Fingerprint fingerprintOf(const QByteArray &bytes);
// True when the regular file at `path` no longer holds what `fingerprint` describes. A file that
// is gone, or that is no regular file, has not been "changed": saving simply writes it again, or
// says why it cannot.
bool changedSince(const QString &path, const Fingerprint &fingerprint);

// Regular files only (after following links), up to MaxSize: a FIFO or a device would block
// the program or never end.
QByteArray read(const QString &path);
// Through a temporary file and a rename; every write and the final flush are checked before the
// rename, so a failed write (a full disk) leaves any earlier file untouched.
void write(const QString &path, const QByteArray &bytes);
// Adds `bytes` at the end of the file, provided it is still as `expected` says: false, and
// nothing written, when another program changed it since it was looked at. Every write and the
// flush are checked; after a failure the file is cut back to its earlier length, so no half
// line is left behind. For files that only grow (kept results), where rewriting everything
// for each addition would cost as much as the file is big.
bool append(const QString &path, const QByteArray &bytes, const Stamp &expected);
// A new file, never over another one: false, and nothing written, when something already stands
// at `path`. Every write is checked; a failed one leaves no part of the file behind. Not synced
// one by one: many small files (pictures) are written this way.
bool writeNew(const QString &path, const QByteArray &bytes);

// Why a file cannot be created, replaced or added to at `path`, in French ("le disque est
// plein"): the file system is looked at first (Qt's own errors are in English and do not always
// say which), then the system's error code.
QString writeReason(const QString &path, int error, qint64 bytesNeeded);

} // namespace QcmFile
