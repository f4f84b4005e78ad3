#include "document/qcmfile.h"

#include "platform/apperror.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHashFunctions>
#include <QSaveFile>
#include <QStorageInfo>

#include <algorithm>
#include <cerrno>
#include <limits>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace QcmFile {

namespace {

struct Text
{
    Q_DECLARE_TR_FUNCTIONS(QcmFile)
};

// The longest file name most file systems take, in bytes of the local encoding.
constexpr int MaxNameBytes = 255;
// The temporary file of a save is the file's name followed by this many characters (".XXXXXX").
constexpr int TemporarySuffixBytes = 7;

// The reason a system error code gives, when it is one a person can act on; empty otherwise.
QString systemReason(int error)
{
    switch (error) {
    case ENOSPC: return Text::tr("le disque est plein");
#ifdef EDQUOT
    case EDQUOT: return Text::tr("le quota d'espace disque est atteint");
#endif
    case EACCES:
    case EPERM: return Text::tr("accès refusé");
    case EROFS: return Text::tr("le disque est en lecture seule");
    case ENAMETOOLONG: return Text::tr("nom de fichier trop long");
    case ENOENT:
    case ENOTDIR: return Text::tr("le dossier n'existe pas");
    case EISDIR: return Text::tr("un dossier porte ce nom");
    case EIO: return Text::tr("erreur matérielle du disque");
    case EMFILE:
    case ENFILE: return Text::tr("trop de fichiers sont ouverts");
    default: return QString();
    }
}

[[noreturn]] void cannotSave(const QString &path, const QString &reason)
{
    throw AppError(Text::tr("Impossible d'enregistrer le fichier %1 : %2").arg(path, reason));
}

// Makes sure the bytes have reached the disk: a full disk often shows only here.
bool flushed(QFileDevice &file)
{
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return false;
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != EROFS)
        return false;
#endif
    return true;
}

} // namespace

QString writeReason(const QString &path, int error, qint64 bytesNeeded)
{
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (error == ENAMETOOLONG || QFile::encodeName(target.fileName()).size() + TemporarySuffixBytes > MaxNameBytes)
        return Text::tr("nom de fichier trop long");
    if (!folder.isDir())
        return Text::tr("le dossier n'existe pas");
    if (target.isDir())
        return Text::tr("un dossier porte ce nom");
    const QStorageInfo storage(folder.absoluteFilePath());
    if (error == EROFS || (storage.isValid() && storage.isReadOnly()))
        return Text::tr("le disque est en lecture seule");
    // Space is what failed only when there were bytes to write (or the system says so).
    if (error == ENOSPC || (bytesNeeded > 0 && storage.isValid() && storage.bytesAvailable() < bytesNeeded))
        return Text::tr("le disque est plein");
    if (target.exists() && !target.isWritable())
        return Text::tr("le fichier est en lecture seule");
    if (!folder.isWritable())
        return Text::tr("accès refusé");
    const QString reason = systemReason(error);
    return reason.isEmpty() ? Text::tr("erreur d'écriture (code système %1)").arg(error) : reason;
}

Stamp stampOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return {};
    return {info.size(), info.lastModified()};
}

Fingerprint fingerprintOf(const QByteArray &bytes)
{
    // Qt's hash of bytes runs on the processor's AES instructions when it has them, with a seed
    // that is not 0: 10,000 questions (4 MB) are hashed in about 0.2 ms. The seed only has to be
    // the same for the program's whole run.
    constexpr size_t Seed = 0x9E3779B97F4A7C15u & std::numeric_limits<size_t>::max();
    return {bytes.size(), qHashBits(bytes.constData(), size_t(bytes.size()), Seed)};
}

bool changedSince(const QString &path, const Fingerprint &fingerprint)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    // A size of its own is a change without reading a byte.
    if (info.size() != fingerprint.size)
        return true;
    try {
        return fingerprintOf(read(path)) != fingerprint;
    } catch (const AppError &) {
        // What it holds cannot be read any more: nothing vouches that it is still ours.
        return true;
    }
}

QByteArray read(const QString &path)
{
    const QFileInfo info(path); // follows links
    if (!info.exists())
        throw AppError(Text::tr("Le fichier %1 est introuvable.").arg(path));
    if (!info.isFile())
        throw AppError(Text::tr("%1 n'est pas un fichier ordinaire : il ne peut pas être ouvert comme questionnaire.")
                           .arg(path));
    if (info.size() > MaxSize)
        throw AppError(Text::tr("Le fichier %1 est trop volumineux pour être un questionnaire (%2 Mio ; 256 Mio au plus).")
                           .arg(path)
                           .arg(info.size() / (1024 * 1024)));

    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        const QString reason = systemReason(errno);
        throw AppError(Text::tr("Impossible d'ouvrir le fichier %1 : %2")
                           .arg(path, reason.isEmpty() ? Text::tr("erreur de lecture") : reason));
    }
    // One read into a buffer of the file's own size: reserving the bound would fail under a memory
    // limit however small the file, and would map the buffer afresh, page by page, at every load.
    // A file that grew since it was looked at is read on in pieces, never beyond one byte more
    // than allowed.
    QByteArray bytes = file.read(info.size() + 1);
    if (bytes.size() > info.size()) {
        constexpr qint64 Piece = qint64(1) << 20;
        while (bytes.size() <= MaxSize) {
            const QByteArray piece = file.read(std::min(Piece, MaxSize + 1 - bytes.size()));
            if (piece.isEmpty())
                break;
            bytes += piece;
        }
    }
    const int error = errno;
    if (file.error() != QFileDevice::NoError) {
        const QString reason = systemReason(error);
        throw AppError(Text::tr("Erreur de lecture du fichier %1 : %2")
                           .arg(path, reason.isEmpty() ? Text::tr("erreur matérielle du disque") : reason));
    }
    if (bytes.size() > MaxSize)
        throw AppError(Text::tr("Le fichier %1 est trop volumineux pour être un questionnaire (256 Mio au plus).").arg(path));
    return bytes;
}

void write(const QString &path, const QByteArray &bytes)
{
    const QFileInfo target(path);
    // A FIFO or a device under a questionnaire's name would be replaced by a file.
    if (target.exists() && !target.isFile() && !target.isDir())
        cannotSave(path, Text::tr("ce n'est pas un fichier ordinaire"));

    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        cannotSave(path, writeReason(path, errno, 0));
    // Qt's commit does not see a failed final flush: on a full disk it would rename an empty or
    // cut temporary file over the questionnaire. Everything is checked before committing.
    errno = 0;
    if (file.write(bytes) != bytes.size() || !flushed(file)) {
        const int error = file.error() == QFileDevice::ResourceError ? ENOSPC : errno;
        file.cancelWriting();
        cannotSave(path, writeReason(path, error, bytes.size()));
    }
    errno = 0;
    if (!file.commit())
        cannotSave(path, writeReason(path, errno, 0));
}

bool append(const QString &path, const QByteArray &bytes, const Stamp &expected)
{
    if (expected.size < 0)
        return false;
    QFile file(path);
    errno = 0;
    // Unbuffered: the bytes go out in one write, and nothing is left in a buffer that would
    // stop cutting the file back after a failure.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        cannotSave(path, writeReason(path, errno, 0));
    if (stampOf(path) != expected || file.size() != expected.size)
        return false;
    errno = 0;
    if (file.write(bytes) != bytes.size() || !flushed(file)) {
        const int error = file.error() == QFileDevice::ResourceError ? ENOSPC : errno;
        file.resize(expected.size);
        cannotSave(path, writeReason(path, error, bytes.size()));
    }
    return true;
}

bool writeNew(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (errno == EEXIST || QFileInfo(path).exists() || QFileInfo(path).isSymLink())
            return false;
        cannotSave(path, writeReason(path, errno, 0));
    }
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const int error = file.error() == QFileDevice::ResourceError ? ENOSPC : errno;
        file.remove();
        cannotSave(path, writeReason(path, error, bytes.size()));
    }
    return true;
}

} // namespace QcmFile
