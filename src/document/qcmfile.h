#pragma once

#include <QByteArray>
#include <QString>

// Whole-file reads and writes of questionnaires. Failures throw AppError with a French message
// that names the reason ("le disque est plein", "accès refusé"...).
namespace QcmFile {

// A questionnaire is text: a bigger file is not one, and reading it would only fill the memory.
inline constexpr qint64 MaxSize = qint64(256) * 1024 * 1024;

// What a questionnaire file held when the program last read or wrote it, to notice that another
// program changed it since: its size, and a hash of its bytes, so that a rewrite of the same size
// that keeps the file's time is seen too.
struct Stamp
{
    qint64 size = -1; // -1: nothing read or written yet
    size_t contentHash = 0;

    bool operator==(const Stamp &other) const { return size == other.size && contentHash == other.contentHash; }
    bool operator!=(const Stamp &other) const { return !(*this == other); }
};
Stamp stampOf(const QByteArray &bytes);
// True when the regular file at `path` no longer holds what `stamp` describes. A file that is gone,
// or that is no regular file, has not been "changed": saving simply writes it again, or says why
// it cannot.
bool changedSince(const QString &path, const Stamp &stamp);

// Regular files only (after following links), up to MaxSize: a FIFO or a device would block
// the program or never end.
QByteArray read(const QString &path);
// Through a temporary file and a rename; every write and the final flush are checked before the
// rename, so a failed write (a full disk) leaves any earlier file untouched.
void write(const QString &path, const QByteArray &bytes);

} // namespace QcmFile
