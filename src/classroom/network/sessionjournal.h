#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QJsonObject>
#include <QLockFile>
#include <QString>

#include <memory>
#include <vector>

// What a session on the network has acknowledged, kept on disk beside the results as it
// happens: one JSON object a line, each line written whole, flushed and synced before the
// pupil's page hears that it was taken. A line cut short by a crash was never acknowledged: it
// is left out when the journal is read back, and cut off before the next line is added.
//
// Only one program writes a journal at a time: it holds a lock beside it ("<journal>.lock")
// while the session is open.
class SessionJournal
{
    Q_DECLARE_TR_FUNCTIONS(SessionJournal)

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

    // Opens the journal at `path` to add lines, cutting it back to `wholeLength` bytes first
    // (what read() found whole; 0 for a new journal, which must not exist yet). Throws AppError
    // when another program holds it or it cannot be written.
    SessionJournal(const QString &path, qint64 wholeLength);
    ~SessionJournal();
    SessionJournal(const SessionJournal &) = delete;
    SessionJournal &operator=(const SessionJournal &) = delete;

    // Adds one line and returns once it is on the disk. Throws AppError when it could not be
    // written whole; the journal is then as it was before.
    void append(const QJsonObject &record);

    // The session is over and every run kept: the journal goes.
    void remove();

    const QString &path() const { return m_path; }

private:
    [[noreturn]] void fail(int error, qint64 bytesNeeded) const;

    QString m_path;
    QLockFile m_lock;
    QFile m_file;
    qint64 m_length = 0;
};
