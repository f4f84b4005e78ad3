#include "classroom/network/sessionjournal.h"

#include "document/qcmfile.h"
#include "platform/apperror.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

// On the disk itself, not only handed to the system: the computer may stop too.
int SessionJournal::syncToDisk(int handle)
{
#ifdef Q_OS_UNIX
    if (::fdatasync(handle) == 0 || errno == EINVAL || errno == EROFS)
        return 0;
    return errno;
#else
    Q_UNUSED(handle);
    return 0;
#endif
}

QString SessionJournal::pathFor(const QString &folder, const QString &questionnairePath)
{
    QString name = QFileInfo(questionnairePath).completeBaseName();
    if (name.isEmpty())
        name = QStringLiteral("questionnaire");
    return QDir(folder).filePath(name + QStringLiteral("-reseau.journal"));
}

bool SessionJournal::exists(const QString &path)
{
    return QFileInfo(path).isFile();
}

SessionJournal::Contents SessionJournal::read(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        throw AppError(tr("Impossible de lire le journal de la passation %1.").arg(QDir::toNativeSeparators(path)));
    if (file.size() > MaxSize)
        throw AppError(tr("Le fichier %1 est trop gros pour être un journal de passation.").arg(QDir::toNativeSeparators(path)));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw AppError(tr("Impossible de lire le journal de la passation %1.").arg(QDir::toNativeSeparators(path)));

    Contents contents;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            break; // cut short: never acknowledged
        QJsonParseError error;
        const QJsonDocument line = QJsonDocument::fromJson(bytes.mid(start, end - start), &error);
        if (error.error != QJsonParseError::NoError || !line.isObject())
            break;
        contents.records.push_back(line.object());
        start = end + 1;
        contents.wholeLength = start;
    }
    return contents;
}

SessionJournal::SessionJournal(const QString &path, qint64 wholeLength, DiskSync sync)
    : m_path(path), m_sync(sync ? std::move(sync) : DiskSync(&SessionJournal::syncToDisk)), m_lock(path + QStringLiteral(".lock")), m_file(path)
{
    setObjectName(QStringLiteral("SessionJournal"));
    // A lock left by a program that stopped is taken over at once (QLockFile sees that its
    // process is gone); a live one means the session is open elsewhere.
    m_lock.setStaleLockTime(0);
    if (!m_lock.tryLock(0)) {
        throw AppError(tr("Cette passation est déjà ouverte par un autre programme (%1).")
                           .arg(QDir::toNativeSeparators(path)));
    }
    QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered;
    if (wholeLength == 0)
        mode |= QIODevice::NewOnly;
    errno = 0;
    if (!m_file.open(mode))
        fail(errno, 0);
    if (m_file.size() != wholeLength && !m_file.resize(wholeLength))
        fail(errno, 0);
    m_length = m_synced = m_wanted = wholeLength;
    m_syncer = std::thread([this, wholeLength] { syncLoop(wholeLength); });
}

SessionJournal::~SessionJournal()
{
    stopSyncing();
    // The program closes the session (or stops): what it wrote goes to the disk now.
    if (m_file.isOpen())
        syncToDisk(m_file.handle());
}

qint64 SessionJournal::append(const QJsonObject &record)
{
    const QByteArray line = QJsonDocument(record).toJson(QJsonDocument::Compact) + '\n';
    errno = 0;
    if (!m_file.isOpen() || m_file.write(line) != line.size()) {
        const int error = m_file.error() == QFileDevice::ResourceError && errno == 0 ? ENOSPC : errno;
        // Whatever part of the line went out is taken back, so the next line starts whole.
        m_file.resize(m_length);
        m_file.unsetError();
        fail(error, line.size());
    }
    m_length += line.size();
    m_unsynced += line;
    return m_length;
}

void SessionJournal::requestSync()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        // After a failed sync the system may have dropped the lines it could not write, and
        // a second sync would not say so: they are written again first, while no sync runs.
        if (m_broken) {
            if (m_syncing)
                return; // its outcome comes; the page asks again after it
            const int error = rewriteUnsynced();
            if (error != 0) {
                QMetaObject::invokeMethod(this, [this, error] { noteSynced(m_length, error); }, Qt::QueuedConnection);
                return;
            }
            m_broken = false;
        }
        m_wanted = m_length;
    }
    m_wake.notify_one();
}

int SessionJournal::rewriteUnsynced()
{
    errno = 0;
    if (!m_file.resize(m_synced) || m_file.write(m_unsynced) != m_unsynced.size()) {
        const int error = errno != 0 ? errno : ENOSPC;
        m_file.unsetError();
        return error;
    }
    return 0;
}

void SessionJournal::syncNow()
{
    if (m_synced >= m_length || !m_file.isOpen())
        return;
    int error = 0;
    qint64 failuresBefore = 0;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_broken)
            error = m_syncing ? EIO : rewriteUnsynced();
        if (error == 0)
            m_broken = false;
        failuresBefore = m_failures;
    }
    if (error == 0)
        error = m_sync(m_file.handle());
    noteSynced(m_length, settle(error, failuresBefore));
}

// A sync reports an error to one caller only: one that ran beside a failed one and says
// nothing went wrong is not believed either.
int SessionJournal::settle(int error, qint64 failuresBefore)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (error == 0 && m_failures != failuresBefore)
        error = EIO;
    if (error != 0) {
        ++m_failures;
        m_broken = true;
    }
    return error;
}

// The syncing thread: one sync covers every line written before it began, however many.
void SessionJournal::syncLoop(qint64 done)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [&] { return m_stopping || (!m_broken && m_wanted > done); });
        if (m_stopping)
            return;
        const qint64 target = m_wanted;
        const qint64 failuresBefore = m_failures;
        m_syncing = true;
        lock.unlock();
        int error = m_sync(m_file.handle());
        error = settle(error, failuresBefore);
        // Told in the journal's own thread; dropped if the journal is gone by then.
        QMetaObject::invokeMethod(this, [this, target, error] { noteSynced(target, error); }, Qt::QueuedConnection);
        lock.lock();
        m_syncing = false;
        // Not on the disk: nothing more is tried until the page sends it again, which asks again.
        if (error == 0)
            done = target;
    }
}

void SessionJournal::noteSynced(qint64 length, int error)
{
    if (error == 0 && length > m_synced) {
        m_unsynced.remove(0, length - m_synced);
        m_synced = length;
    }
    Q_EMIT synced(length, error == 0 ? QString()
                                     : tr("Impossible d'écrire le journal de la passation %1 : %2.")
                                           .arg(QDir::toNativeSeparators(m_path), QcmFile::writeReason(m_path, error, 0)));
}

void SessionJournal::stopSyncing()
{
    if (!m_syncer.joinable())
        return;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_syncer.join();
}

void SessionJournal::remove()
{
    stopSyncing();
    m_file.close();
    QFile::remove(m_path);
    m_lock.unlock();
}

void SessionJournal::fail(int error, qint64 bytesNeeded) const
{
    throw AppError(tr("Impossible d'écrire le journal de la passation %1 : %2.")
                       .arg(QDir::toNativeSeparators(m_path), QcmFile::writeReason(m_path, error, bytesNeeded)));
}
