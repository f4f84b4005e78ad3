#pragma once

#include "classroom/classrun.h"
#include "classroom/classrunrecord.h"
#include "classroom/network/livepacing.h"
#include "classroom/classtiming.h"
#include "classroom/network/personalcodes.h"
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
    PersonalCodeList codes;  // in use: a pupil joins by his code alone
    // Beside classPupils, each pupil's extra time ("+33 %"), empty for none; may be shorter.
    QStringList classExtraTimes;
    QString address;
    quint16 port = 0;
    QString code;       // made by begin() when empty
    QDateTime started;  // the clock's time when invalid
    // Taken live: the teacher paces the questions on the projector (LivePacing).
    bool live = false;
};

// One pupil of the session: a run of their own, reached only with the token their page holds.
struct NetworkPupil
{
    NetworkPupil(int index, std::shared_ptr<const ClassQuestionnaire> questionnaire, const ClassSettings &settings,
                 quint64 seed)
        : index(index), run(std::move(questionnaire), settings, seed), sequence(size_t(run.questionnaire().size()), 0)
    {
    }

    int index = 0;
    QString name;
    QByteArray tokenHash;  // the token itself is never kept
    QDateTime started;
    QDateTime finishedAt;  // invalid while answering
    ClassRun run;
    // By question number (every question of the questionnaire, not only those drawn for the
    // pupil): the page's number of the answer that stands, so that an answer sent again late (a
    // page that lost the network) never undoes a later one.
    std::vector<qint64> sequence;
    bool kept = false;
    // The teacher took the run out of the class (removed, or merged into another row): its
    // page is turned away, the run kept in the results as removed.
    bool removed = false;
    int lastPosition = 0;  // where the page last was, for a page that lost its own
    // The copy's time, on the teacher's clock (untimed without a duration or a closing hour).
    CopyTime time;
    // The copy ended because its time ran out.
    bool timedOut = false;
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

    // OneAnswerOnly: several answers ticked on a question that has one right answer. TimeUp: the
    // copy's time is over. Closed: the session's closing hour is past. QuestionClosed: in a live
    // run, an answer to a question the teacher has not opened or has closed.
    enum class Refusal { None, Ended, Full, BadName, Finished, NoSuchPlace, BadCode, Busy, OneAnswerOnly, TimeUp, Closed,
                         QuestionClosed };
    // Devices waiting at once for the teacher to let them take over a copy.
    static constexpr int MaxWaiting = 60;

    // A device asked for a name that has already joined: it waits until the teacher lets it
    // take over that copy, or refuses. Held in memory only: a device still waiting after the
    // program stopped asks again.
    struct TakeOver
    {
        int id = 0;
        int pupil = 0;
        QByteArray tokenHash;  // the device's token, the pupil's once accepted
        QDateTime asked;
        bool refused = false;  // told to the device at its next request, then forgotten
    };

    // What a page's token stands for.
    enum class TokenKind { Unknown, Pupil, Waiting, Refused, Moved, Removed };
    struct TokenStatus
    {
        TokenKind kind = TokenKind::Unknown;
        int index = -1;  // the pupil (Pupil, Waiting, Moved, Removed)
    };

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
    // Whether corrections kept for the end of the run may now reach the pupils who finished:
    // the run has ended, or the teacher chose "Montrer les corrections".
    bool correctionsReleased() const { return m_ended || m_correctionsShown; }
    // "Montrer les corrections": journaled first, so a resumed session keeps it. Throws AppError.
    void showCorrections();
    QString journalPath() const;
    // A run taken live: answers go only to the question the teacher has open (else Closed).
    bool live() const { return m_start.live; }
    const LivePace &pace() const { return m_pace; }
    // The journal's length just past the pace's line: a page hears of the pace once it is there.
    qint64 paceJournaledTo() const { return m_paceJournaledTo; }
    // The teacher moved on: journaled first (with what the class was shown of its answers), so
    // a resumed session comes back at the same question. Throws AppError.
    void setPace(const LivePace &pace, const LiveTally *shown = nullptr);
    // How far the journal is written, how far it is on the disk; a pupil's page hears of an
    // answer only once its line is there (journalSynced() tells).
    qint64 journalLength() const;
    qint64 journalSyncedLength() const;
    void requestJournalSync();

    bool codeMatches(const QString &code) const;

    // The pupils in the order they joined.
    int pupilCount() const { return int(m_pupils.size()); }
    const NetworkPupil &pupil(int index) const { return *m_pupils[size_t(index)]; }
    // The pupil whose page holds `token`, or null (also for a removed run).
    NetworkPupil *pupilFor(const QString &token);
    TokenStatus statusOf(const QString &token);

    struct Joined
    {
        Refusal refusal = Refusal::None;
        int index = -1;
        QString token;
        bool waiting = false;  // the name has joined already: the token waits for the teacher
    };
    // A pupil joins under `name` (simplified; empty or too long is refused). A name that has
    // joined (in any case) is not given again without the teacher: the device waits. With
    // personal codes, names are refused: joinByCode() is the way in.
    Joined join(const QString &name);
    // A pupil joins by his personal code; BadCode when it is no pupil's.
    Joined joinByCode(const QString &code);
    bool usesPersonalCodes() const { return m_start.codes.inUse(); }

    // The devices waiting for the teacher, in the order they asked.
    const std::vector<TakeOver> &takeOvers() const { return m_takeOvers; }
    // "Reprendre sur cet appareil": the waiting device's token becomes the pupil's, the first
    // device's page is told the copy moved. Journaled first; throws AppError.
    void acceptTakeOver(int id);
    // "Refuser": the device is told at its next request and may choose another name.
    void refuseTakeOver(int id);
    // The waiting device gave up ("Choisir un autre nom"): its request leaves the table.
    void withdrawTakeOver(const QString &token);
    // The teacher takes a row out of the class: its run is kept in the results as removed, its
    // answers stay in the journal. A run already kept in the results as finished cannot be
    // taken back here. Throws AppError with the French reason.
    void remove(int index);
    // Two rows of one pupil: `kept` is the one that counts; `other` is removed, and its answers
    // fill the questions `kept` left blank while `kept` is still being answered. Throws AppError.
    void merge(int kept, int other);
    // Why remove() or merge() would refuse the row, or empty.
    QString whyNotRemovable(int index) const;

    // The pupil chose the answer shown in place `shown` (0 takes it back) at `position`;
    // `sequence` orders the answers of one page. Returns None once the answer stands (also when
    // it already stood, or a later one does).
    Refusal answer(NetworkPupil &pupil, int position, int shown, qint64 sequence);
    // The pupil ticked the answers shown in the places of `shown` (place k is bit k - 1, as in an
    // AnswerSet; none takes the answers back). The same checks and sequence rules as answer(),
    // and a one-answer question takes one answer at most.
    Refusal answerPlaces(NetworkPupil &pupil, int position, AnswerSet shown, qint64 sequence);
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
    void setClassList(const QString &className, const QStringList &pupils, const PersonalCodeList &codes = {},
                      const QStringList &extraTimes = {});

    // -- Time ---------------------------------------------------------------------------
    // Every copy's time is counted here, by the teacher's computer: what a device says of its
    // own clock never reaches it.
    //
    // "Ouverte jusqu'à": after `closes` (invalid: no closing) nobody joins, and copies still
    // being answered end as when their time runs out. Journaled first; throws AppError.
    void setClosingTime(const QDateTime &closes);
    const QDateTime &closingTime() const { return m_closes; }
    bool closed() const;
    // Minutes the teacher grants one pupil during the run. Journaled first; throws AppError
    // with the French reason when the copy is no longer being answered.
    void grantMinutes(int index, int minutes);
    // Seconds left for the pupil's copy; -1 when untimed, or finished.
    int remainingSeconds(const NetworkPupil &pupil) const;
    // When the pupil's time is over, his copy ends as it stands (every answer kept, marked as
    // timed out) and is kept in the results. Returns whether it ended now.
    bool expireIfDue(NetworkPupil &pupil);
    // The same for every copy; the number that ended.
    int expireDue();
    // Whether some copy is being answered against the clock.
    bool timeRunning() const;
    // Notes in the journal that the session is alive now, so that a session interrupted (the
    // program stopped) gives back the time from this moment to its resumption.
    void noteAlive();
    // The milliseconds given back at the last resumption, 0 when none.
    qint64 lastGivenBackMs() const { return m_lastGivenBack; }

    ClassRunRecord recordOf(const NetworkPupil &pupil) const;

Q_SIGNALS:
    void pupilJoined(int index);
    void pupilChanged(int index);
    // The waiting devices changed: one asked, or was let in or refused.
    void takeOversChanged();
    void sessionEnded();
    void paceChanged();
    // A finished run could not be kept in the results; it will be tried again at the end.
    void keepFailed(const QString &reason);
    // The journal is on the disk up to `length`, or could not be put there (a French reason).
    void journalSynced(qint64 length, const QString &failure);

private:
    NetworkSession(NetworkSessionStart start, ClassRunKeeper &keeper, Clock clock);
    static NetworkSessionStart startOf(const QString &journalPath, const SessionJournal::Contents &contents);
    void replay(const std::vector<QJsonObject> &records);
    void openJournal(const QString &path, qint64 wholeLength);
    NetworkPupil &addPupil(const QString &name, const QByteArray &tokenHash, quint64 seed, const QDateTime &started,
                           const ExtraTime &extra = {});
    ExtraTime listedExtraTime(const QString &clean) const;
    void timeOut(NetworkPupil &pupil);
    void giveBackInterruption();
    void noteSeen(const QJsonObject &line);
    QStringList keepUnkept();
    bool keep(NetworkPupil &pupil, QString *reason);
    Joined joinAs(const QString &clean);
    int joinedIndexOf(const QString &clean) const;
    void retoken(NetworkPupil &pupil, const QByteArray &tokenHash);
    void applyMerge(NetworkPupil &kept, NetworkPupil &other);
    void dropTakeOversOf(int index);
    std::vector<TakeOver>::iterator takeOver(int id);

    NetworkSessionStart m_start;
    std::shared_ptr<const ClassQuestionnaire> m_questionnaire;
    ClassRunKeeper &m_keeper;
    Clock m_clock;
    std::unique_ptr<SessionJournal> m_journal;
    std::vector<std::unique_ptr<NetworkPupil>> m_pupils;
    QHash<QByteArray, int> m_byToken;
    QHash<QByteArray, int> m_movedTokens;  // tokens of pages whose copy went to another device
    std::vector<TakeOver> m_takeOvers;
    int m_nextTakeOver = 1;
    bool m_ended = false;
    bool m_correctionsShown = false;
    LivePace m_pace;
    qint64 m_paceJournaledTo = 0;
    QDateTime m_closes;
    QDateTime m_lastSeen;  // the latest moment the journal shows the session alive
    qint64 m_lastGivenBack = 0;
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
