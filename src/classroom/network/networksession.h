#pragma once

#include "classroom/classrun.h"
#include "classroom/classrunrecord.h"
#include "classroom/network/sessionjournal.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// What a session begins with, and what its first journal line keeps: the questionnaire as it
// was then (edits made to it meanwhile change nothing for the class), where its pictures are,
// the code pupils type to join, the class list they choose their names from, and where the
// server listens (so that a resumed session comes back at the address the pupils' pages know).
struct NetworkSessionStart
{
    QStringList lines;
    QString questionnairePath;
    QString pictureFolder;
    QString className;
    QStringList classPupils;
    QString address;
    quint16 port = 0;
    QString code;       // made by begin() when empty
    QDateTime started;  // the clock's time when invalid
};

// One pupil of the session: a run of their own, reached only with the token their page holds.
struct NetworkPupil
{
    NetworkPupil(int index, std::shared_ptr<const ClassQuestionnaire> questionnaire, const ClassSettings &settings,
                 quint64 seed)
        : index(index), run(std::move(questionnaire), settings, seed), sequence(size_t(run.size()), 0)
    {
    }

    int index = 0;
    QString name;
    QByteArray tokenHash;  // the token itself is never kept
    QDateTime started;
    QDateTime finishedAt;  // invalid while answering
    ClassRun run;
    // By question number: the page's number of the answer that stands, so that an answer sent
    // again late (a page that lost the network) never undoes a later one.
    std::vector<qint64> sequence;
    bool kept = false;
    int lastPosition = 0;  // where the page last was, for a page that lost its own
    // The journal's length just past this pupil's last line: what the page is told of its run
    // waits for the disk to hold that much, whichever request wrote the line (0: on the disk
    // before the session opened).
    qint64 journaledTo = 0;
};

// A class answering on its own devices, without any window or socket: who joined, their runs,
// the journal that has every acknowledged answer on the disk first, and the keeping of every
// run in the results. The server's handlers drive it; the session window shows it.
//
// Operations that change something write the journal line first and change the state only
// once it is written: a refusal (AppError) leaves the session as it was, and what the journal
// holds is exactly what was acknowledged.
class NetworkSession : public QObject
{
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;

    // Bounds a hostile or careless page cannot push past.
    static constexpr int MaxNameLength = 60;
    static constexpr int MaxPupils = 400;
    static constexpr int CodeDigits = 6;

    enum class Refusal { None, Ended, Full, BadName, Finished, NoSuchPlace };

    // A new session, its journal begun at `journalPath` (which must not exist). Throws AppError.
    static std::unique_ptr<NetworkSession> begin(const QString &journalPath, NetworkSessionStart start,
                                                 ClassRunKeeper &keeper, Clock clock);
    // The session a journal holds, every acknowledged answer in place. Throws AppError when the
    // journal cannot be read or is not one.
    static std::unique_ptr<NetworkSession> resume(const QString &journalPath, ClassRunKeeper &keeper, Clock clock);
    // What the session of a journal began with (the questionnaire as it was, the class), and
    // how many pupils joined it, without opening it. Throws AppError as resume() does.
    struct Found
    {
        NetworkSessionStart start;
        int pupils = 0;
        bool ended = false;
    };
    static Found look(const QString &journalPath);
    ~NetworkSession() override;

    const NetworkSessionStart &start() const { return m_start; }
    const ClassQuestionnaire &questionnaire() const { return *m_questionnaire; }
    const ClassSettings &settings() const { return m_questionnaire->settings(); }
    bool ended() const { return m_ended; }
    QString journalPath() const;
    // How far the journal is written, how far it is on the disk; a pupil's page hears of an
    // answer only once its line is there (journalSynced() tells).
    qint64 journalLength() const;
    qint64 journalSyncedLength() const;
    void requestJournalSync();

    bool codeMatches(const QString &code) const;

    // The pupils in the order they joined.
    int pupilCount() const { return int(m_pupils.size()); }
    const NetworkPupil &pupil(int index) const { return *m_pupils[size_t(index)]; }
    // The pupil whose page holds `token`, or null.
    NetworkPupil *pupilFor(const QString &token);

    struct Joined
    {
        Refusal refusal = Refusal::None;
        int index = -1;
        QString token;
    };
    // A pupil joins under `name` (simplified; empty or too long is refused).
    Joined join(const QString &name);

    // The pupil chose the answer shown in place `shown` (0 takes it back) at `position`;
    // `sequence` orders the answers of one page. Returns None once the answer stands (also when
    // it already stood, or a later one does).
    Refusal answer(NetworkPupil &pupil, int position, int shown, qint64 sequence);
    // The pupil has finished: journaled, then kept in the results. A run that could not be kept
    // yet is kept again at the end. Finishing twice is the same as once.
    Refusal finish(NetworkPupil &pupil);
    void notePosition(NetworkPupil &pupil, int position);

    // "Terminer la passation": nothing is accepted after it; every run not yet kept is kept,
    // unfinished ones marked so. Returns the French reasons of the runs that could not be kept
    // (they stay in the journal, kept again by keepRemaining()); when every run is kept the
    // journal goes.
    QStringList end();
    QStringList keepRemaining();
    int unkeptCount() const;

    // The listening place changed (the teacher chose another address).
    void noteAddress(const QString &address, quint16 port);
    // The class list pupils choose their names from (none: they type them).
    void setClassList(const QString &className, const QStringList &pupils);

    ClassRunRecord recordOf(const NetworkPupil &pupil) const;

Q_SIGNALS:
    void pupilJoined(int index);
    void pupilChanged(int index);
    void sessionEnded();
    // A finished run could not be kept in the results; it will be tried again at the end.
    void keepFailed(const QString &reason);
    // The journal is on the disk up to `length`, or could not be put there (a French reason).
    void journalSynced(qint64 length, const QString &failure);

private:
    NetworkSession(NetworkSessionStart start, ClassRunKeeper &keeper, Clock clock);
    static NetworkSessionStart startOf(const QString &journalPath, const SessionJournal::Contents &contents);
    void replay(const std::vector<QJsonObject> &records);
    void openJournal(const QString &path, qint64 wholeLength);
    NetworkPupil &addPupil(const QString &name, const QByteArray &tokenHash, quint64 seed, const QDateTime &started);
    QStringList keepUnkept();
    bool keep(NetworkPupil &pupil, QString *reason);

    NetworkSessionStart m_start;
    std::shared_ptr<const ClassQuestionnaire> m_questionnaire;
    ClassRunKeeper &m_keeper;
    Clock m_clock;
    std::unique_ptr<SessionJournal> m_journal;
    std::vector<std::unique_ptr<NetworkPupil>> m_pupils;
    QHash<QByteArray, int> m_byToken;
    bool m_ended = false;
};

// Tokens and names as the session takes them.
namespace NetworkSessionRules {

// 128 random bits from the system's generator, in 22 URL-safe characters.
QString newToken();
QByteArray tokenHash(const QString &token);
// The name as kept: control characters dropped, blanks simplified.
QString cleanName(const QString &name);
// "048213": CodeDigits digits from the system's generator.
QString newCode();

} // namespace NetworkSessionRules
