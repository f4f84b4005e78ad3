#pragma once

#include <QFile>
#include <QJsonObject>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// What a session on the network has acknowledged, kept on disk beside the results as it
// happens: one JSON object a line, each line handed to the system whole as it comes (a crash of
// the program loses none of them), then synced to the disk by a thread of its own, many lines at
// a time, so that neither a slow disk nor a class answering at once holds up the teacher's
// program. A pupil's page hears that an answer was taken only once its line is synced().
//
// A line cut short by a crash was never acknowledged: it is left out when the journal is read
// back, and cut off before the next line is added.
//
// Only one program writes a journal at a time: it holds a lock beside it ("<journal>.lock")
// while the session is open.
class SessionJournal : public QObject
{
    Q_OBJECT

public:
    // Far above a day's session of a large class (a line per answer given).
    static constexpr qint64 MaxSize = qint64(64) * 1024 * 1024;

    struct Contents
    {
        std::vector<QJsonObject> records; // every whole line, in order
        qint64 wholeLength = 0;           // bytes up to the end of the last whole line
    };

    // "<folder>/<questionnaire name>-reseau.journal", beside the results file.
    static QString pathFor(const QString &folder, const QString &questionnairePath);
    static bool exists(const QString &path);

    // The whole lines of the journal at `path`, up to the first one that is cut short or not a
    // JSON object. Throws AppError when it cannot be read or is too big to be a journal.
    static Contents read(const QString &path);

    // Puts what the system holds of an open file on the disk: 0, or the system's error.
    using DiskSync = std::function<int(int handle)>;
    static int syncToDisk(int handle);

    // Opens the journal at `path` to add lines, cutting it back to `wholeLength` bytes first
    // (what read() found whole; 0 for a new journal, which must not exist yet). Throws AppError
    // when another program holds it or it cannot be written. `sync` (syncToDisk when empty)
    // runs in the syncing thread; tests give a disk that fails or takes its time.
    SessionJournal(const QString &path, qint64 wholeLength, DiskSync sync = {});
    ~SessionJournal() override;

    // Adds one line, handed to the system whole, and returns the journal's length with it.
    // Throws AppError when it could not be written whole; the journal is then as it was.
    qint64 append(const QJsonObject &record);

    // Bytes written, and bytes known to be on the disk.
    qint64 length() const { return m_length; }
    qint64 syncedLength() const { return m_synced; }
    // Asks the syncing thread to put on the disk what is written; synced() tells when. After a
    // failed sync, the next request writes the lines not yet on the disk again and tries again.
    void requestSync();
    // The same, waiting for it.
    void syncNow();

    // The session is over and every run kept: the journal goes.
    void remove();

    const QString &path() const { return m_path; }

Q_SIGNALS:
    // Everything up to `length` is on the disk; or, with a French reason, could not be put there.
    void synced(qint64 length, const QString &failure);

private:
    [[noreturn]] void fail(int error, qint64 bytesNeeded) const;
    void syncLoop(qint64 done);
    void stopSyncing();
    void noteSynced(qint64 length, int error);
    int rewriteUnsynced();
    int settle(int error, qint64 failuresBefore);

    QString m_path;
    DiskSync m_sync;
    QLockFile m_lock;
    QFile m_file;
    qint64 m_length = 0;
    qint64 m_synced = 0;
    QByteArray m_unsynced; // the lines past m_synced, to write again after a failed sync

    // Shared with the syncing thread.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    qint64 m_wanted = 0;
    bool m_stopping = false;
    bool m_syncing = false;
    bool m_broken = false;  // a sync failed: the lines past m_synced are written again first
    qint64 m_failures = 0;
    std::thread m_syncer;
};
