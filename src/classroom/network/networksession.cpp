#include "classroom/network/networksession.h"

#include "platform/apperror.h"

#include <QCryptographicHash>
#include <QDir>
#include <QJsonArray>
#include <QRandomGenerator>

#include <algorithm>

namespace {

// The journal's lines, by their "k".
const QString SessionRecord = QStringLiteral("session");
const QString JoinRecord = QStringLiteral("join");
const QString AnswerRecord = QStringLiteral("answer");
const QString FinishRecord = QStringLiteral("finish");
const QString KeptRecord = QStringLiteral("kept");
const QString AddressRecord = QStringLiteral("address");
const QString EndRecord = QStringLiteral("end");
const QString ClassRecord = QStringLiteral("class");
const QString CorrectionsRecord = QStringLiteral("corrections");
const QString MoveRecord = QStringLiteral("move");
const QString RemoveRecord = QStringLiteral("remove");
const QString MergeRecord = QStringLiteral("merge");
const QString PaceRecord = QStringLiteral("pace");
// The time: the closing hour, minutes granted, the session seen alive, and resumed after an
// interruption with the time given back.
const QString ClosesRecord = QStringLiteral("closes");
const QString GrantRecord = QStringLiteral("grant");
const QString AliveRecord = QStringLiteral("alive");
const QString ResumeRecord = QStringLiteral("resume");
constexpr int JournalVersion = 1;

QJsonObject record(const QString &kind, std::initializer_list<std::pair<QString, QJsonValue>> fields)
{
    QJsonObject object{{QStringLiteral("k"), kind}};
    for (const auto &[key, value] : fields)
        object.insert(key, value);
    return object;
}

// Times as milliseconds since 1970: exact in a JSON number, whatever the time zone.
QJsonValue timeValue(const QDateTime &time)
{
    return double(time.toMSecsSinceEpoch());
}

QDateTime timeOf(const QJsonValue &value)
{
    return QDateTime::fromMSecsSinceEpoch(qint64(value.toDouble()));
}

QStringList stringsOf(const QJsonValue &value)
{
    QStringList strings;
    for (const QJsonValue &item : value.toArray())
        strings << item.toString();
    return strings;
}

// An answer set as the journal keeps it: its answers, in order.
QJsonArray answersOf(AnswerSet set)
{
    QJsonArray answers;
    for (int answer = 1; answer <= QcmFormat::AnswerCount; ++answer) {
        if (AnswerSets::contains(set, answer))
            answers.append(answer);
    }
    return answers;
}

// Read back: anything else than answers 1 to 5 makes the set one that no question takes.
AnswerSet setOf(const QJsonValue &value)
{
    AnswerSet set = 0;
    for (const QJsonValue &item : value.toArray())
        set |= AnswerSets::of(item.isDouble() ? item.toInt(-1) : -1);
    return set;
}

// A copy that still had time at `moment`: what an interruption begun then takes from it.
bool stillAnswering(const NetworkPupil &pupil, const QDateTime &moment)
{
    return !pupil.finishedAt.isValid() && !pupil.removed && pupil.time.timed() && pupil.time.remainingSeconds(moment) > 0;
}

int intOf(const QJsonObject &object, const QString &key)
{
    const QJsonValue value = object.value(key);
    return value.isDouble() ? value.toInt(-1) : -1;
}

struct Text
{
    Q_DECLARE_TR_FUNCTIONS(NetworkSession)
};

QJsonValue codesValue(const PersonalCodeList &codes)
{
    if (!codes.inUse())
        return QJsonValue();
    QJsonArray hashes;
    for (const QByteArray &hash : codes.hashes)
        hashes.append(QString::fromLatin1(hash));
    return QJsonObject{{QStringLiteral("salt"), QString::fromLatin1(codes.salt)}, {QStringLiteral("h"), hashes}};
}

PersonalCodeList codesOf(const QJsonValue &value, const QStringList &pupils)
{
    PersonalCodeList codes;
    const QJsonObject object = value.toObject();
    codes.salt = object.value(QStringLiteral("salt")).toString().toLatin1();
    for (const QJsonValue &hash : object.value(QStringLiteral("h")).toArray())
        codes.hashes.push_back(hash.toString().toLatin1());
    codes.pupils = pupils;
    return codes.inUse() ? codes : PersonalCodeList();
}

} // namespace

namespace NetworkSessionRules {

QString newToken()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    const QByteArray bytes(reinterpret_cast<const char *>(words), sizeof words);
    return QString::fromLatin1(bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

QByteArray tokenHash(const QString &token)
{
    return QCryptographicHash::hash(token.toUtf8(), QCryptographicHash::Sha256).toHex();
}

QString cleanName(const QString &name)
{
    QString clean;
    clean.reserve(name.size());
    for (const QChar c : name) {
        // Control and formatting characters (a right-to-left override among them) would make
        // one name look like another in the teacher's table.
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Other_Format)
            clean += QLatin1Char(' ');
        else
            clean += c;
    }
    return clean.simplified();
}

QString newCode()
{
    int limit = 1;
    for (int digit = 0; digit < NetworkSession::CodeDigits; ++digit)
        limit *= 10;
    return QStringLiteral("%1").arg(QRandomGenerator::system()->bounded(limit), NetworkSession::CodeDigits, 10,
                                    QLatin1Char('0'));
}

} // namespace NetworkSessionRules

NetworkSession::NetworkSession(NetworkSessionStart start, ClassRunKeeper &keeper, Clock clock)
    : m_start(std::move(start)),
      m_questionnaire(std::make_shared<const ClassQuestionnaire>(ClassQuestionnaire::fromLines(m_start.lines))),
      m_keeper(keeper), m_clock(std::move(clock))
{
}

NetworkSession::~NetworkSession()
{
    // Closed without ending: the moment is noted, so that the interruption is given back
    // exactly when the session resumes.
    if (m_journal && !m_ended && timeRunning()) {
        try {
            noteAlive();
        } catch (const AppError &) {
            // The last line the journal holds says when the session was last seen instead.
        }
    }
}

std::unique_ptr<NetworkSession> NetworkSession::begin(const QString &journalPath, NetworkSessionStart start,
                                                      ClassRunKeeper &keeper, Clock clock)
{
    if (start.code.isEmpty())
        start.code = NetworkSessionRules::newCode();
    if (!start.started.isValid())
        start.started = clock();
    std::unique_ptr<NetworkSession> session(new NetworkSession(std::move(start), keeper, std::move(clock)));
    const NetworkSessionStart &s = session->m_start;
    session->openJournal(journalPath, 0);
    try {
        session->m_journal->append(record(SessionRecord, {{QStringLiteral("v"), JournalVersion},
                                                          {QStringLiteral("lines"), QJsonArray::fromStringList(s.lines)},
                                                          {QStringLiteral("questionnaire"), s.questionnairePath},
                                                          {QStringLiteral("pictures"), s.pictureFolder},
                                                          {QStringLiteral("class"), s.className},
                                                          {QStringLiteral("pupils"), QJsonArray::fromStringList(s.classPupils)},
                                                          {QStringLiteral("codes"), codesValue(s.codes)},
                                                          {QStringLiteral("extra"), s.classExtraTimes.isEmpty() ? QJsonValue() : QJsonValue(QJsonArray::fromStringList(s.classExtraTimes))},
                                                          {QStringLiteral("address"), s.address},
                                                          {QStringLiteral("port"), int(s.port)},
                                                          {QStringLiteral("code"), s.code},
                                                          {QStringLiteral("started"), timeValue(s.started)},
                                                          {QStringLiteral("live"), s.live}}));
        session->m_journal->syncNow();
    } catch (const AppError &) {
        // A journal without its first line is no journal: nothing would resume from it.
        session->m_journal->remove();
        throw;
    }
    return session;
}

NetworkSessionStart NetworkSession::startOf(const QString &journalPath, const SessionJournal::Contents &contents)
{
    if (contents.records.empty() || contents.records.front().value(QStringLiteral("k")).toString() != SessionRecord
        || contents.records.front().value(QStringLiteral("v")).toInt() != JournalVersion) {
        throw AppError(Text::tr("Le fichier %1 n'est pas un journal de passation que ce programme sait reprendre.")
                           .arg(QDir::toNativeSeparators(journalPath)));
    }
    const QJsonObject &first = contents.records.front();
    NetworkSessionStart start;
    start.lines = stringsOf(first.value(QStringLiteral("lines")));
    start.questionnairePath = first.value(QStringLiteral("questionnaire")).toString();
    start.pictureFolder = first.value(QStringLiteral("pictures")).toString();
    start.className = first.value(QStringLiteral("class")).toString();
    start.classPupils = stringsOf(first.value(QStringLiteral("pupils")));
    start.codes = codesOf(first.value(QStringLiteral("codes")), start.classPupils);
    start.classExtraTimes = stringsOf(first.value(QStringLiteral("extra")));
    start.address = first.value(QStringLiteral("address")).toString();
    start.port = quint16(std::clamp(first.value(QStringLiteral("port")).toInt(), 0, 65535));
    start.code = first.value(QStringLiteral("code")).toString();
    start.started = timeOf(first.value(QStringLiteral("started")));
    start.live = first.value(QStringLiteral("live")).toBool();
    return start;
}

std::unique_ptr<NetworkSession> NetworkSession::resume(const QString &journalPath, ClassRunKeeper &keeper, Clock clock)
{
    const SessionJournal::Contents contents = SessionJournal::read(journalPath);
    std::unique_ptr<NetworkSession> session(new NetworkSession(startOf(journalPath, contents), keeper, std::move(clock)));
    session->replay(contents.records);
    session->openJournal(journalPath, contents.wholeLength);
    session->giveBackInterruption();
    return session;
}

NetworkSession::Found NetworkSession::look(const QString &journalPath)
{
    const SessionJournal::Contents contents = SessionJournal::read(journalPath);
    Found found;
    found.start = startOf(journalPath, contents);
    for (const QJsonObject &line : contents.records) {
        const QString kind = line.value(QStringLiteral("k")).toString();
        found.pupils += kind == JoinRecord ? 1 : 0;
        found.ended = found.ended || kind == EndRecord;
    }
    return found;
}

void NetworkSession::replay(const std::vector<QJsonObject> &records)
{
    // Lines come from this program, but a disk may have damaged one: a line that makes no
    // sense is passed over rather than losing every line after it.
    if (!records.empty())
        noteSeen(records.front());
    for (size_t i = 1; i < records.size(); ++i) {
        const QJsonObject &line = records[i];
        const QString kind = line.value(QStringLiteral("k")).toString();
        noteSeen(line);
        if (kind == ClosesRecord) {
            const QJsonValue at = line.value(QStringLiteral("at"));
            m_closes = at.isDouble() ? timeOf(at) : QDateTime();
            for (const std::unique_ptr<NetworkPupil> &pupil : m_pupils)
                pupil->time.closeAt(m_closes);
            continue;
        }
        if (kind == ResumeRecord) {
            const qint64 back = qint64(line.value(QStringLiteral("back")).toDouble());
            const QDateTime seenThen = timeOf(line.value(QStringLiteral("at"))).addMSecs(-back);
            for (const std::unique_ptr<NetworkPupil> &pupil : m_pupils) {
                if (stillAnswering(*pupil, seenThen))
                    pupil->time.giveBack(back);
            }
            continue;
        }
        if (kind == AliveRecord)
            continue;
        if (kind == JoinRecord) {
            bool ok = false;
            const quint64 seed = line.value(QStringLiteral("seed")).toString().toULongLong(&ok);
            if (!ok)
                continue;
            NetworkPupil &pupil = addPupil(line.value(QStringLiteral("name")).toString(),
                                           line.value(QStringLiteral("h")).toString().toLatin1(), seed,
                                           timeOf(line.value(QStringLiteral("at"))),
                                           ExtraTime::parse(line.value(QStringLiteral("extra")).toString()).value_or(ExtraTime()));
            Q_UNUSED(pupil);
            continue;
        }
        if (kind == AddressRecord) {
            m_start.address = line.value(QStringLiteral("address")).toString();
            m_start.port = quint16(std::clamp(line.value(QStringLiteral("port")).toInt(), 0, 65535));
            continue;
        }
        if (kind == ClassRecord) {
            m_start.className = line.value(QStringLiteral("class")).toString();
            m_start.classPupils = stringsOf(line.value(QStringLiteral("pupils")));
            m_start.codes = codesOf(line.value(QStringLiteral("codes")), m_start.classPupils);
            m_start.classExtraTimes = stringsOf(line.value(QStringLiteral("extra")));
            continue;
        }
        if (kind == EndRecord) {
            m_ended = true;
            continue;
        }
        if (kind == CorrectionsRecord) {
            m_correctionsShown = true;
            continue;
        }
        if (kind == PaceRecord) {
            const int question = intOf(line, QStringLiteral("q"));
            if (question >= -1 && question < m_questionnaire->size()) {
                m_pace.step = LivePace::stepOf(line.value(QStringLiteral("s")).toString());
                m_pace.question = question;
            }
            continue;
        }
        const int index = intOf(line, QStringLiteral("p"));
        if (index < 0 || index >= pupilCount())
            continue;
        NetworkPupil &pupil = *m_pupils[size_t(index)];
        if (kind == AnswerRecord) {
            const int question = intOf(line, QStringLiteral("q"));
            const QJsonValue set = line.value(QStringLiteral("s"));
            const bool taken = set.isArray() ? pupil.run.setAnswers(question, setOf(set))
                                             : pupil.run.setAnswer(question, intOf(line, QStringLiteral("a")));
            if (taken) {
                pupil.sequence[size_t(question)] = qint64(line.value(QStringLiteral("n")).toDouble());
                pupil.lastPosition = pupil.run.version().positionOf(question);
            }
        } else if (kind == FinishRecord) {
            pupil.finishedAt = timeOf(line.value(QStringLiteral("at")));
            pupil.timedOut = line.value(QStringLiteral("time")).toBool();
            pupil.run.finish();
        } else if (kind == GrantRecord) {
            pupil.time.grantMinutes(intOf(line, QStringLiteral("min")));
        } else if (kind == KeptRecord) {
            pupil.kept = true;
        } else if (kind == MoveRecord) {
            retoken(pupil, line.value(QStringLiteral("h")).toString().toLatin1());
        } else if (kind == RemoveRecord) {
            pupil.removed = true;
        } else if (kind == MergeRecord) {
            const int from = intOf(line, QStringLiteral("from"));
            if (from >= 0 && from < pupilCount() && from != index)
                applyMerge(pupil, *m_pupils[size_t(from)]);
        }
    }
}

void NetworkSession::openJournal(const QString &path, qint64 wholeLength)
{
    m_journal = std::make_unique<SessionJournal>(path, wholeLength);
    connect(m_journal.get(), &SessionJournal::synced, this, &NetworkSession::journalSynced);
}

QString NetworkSession::journalPath() const
{
    return m_journal ? m_journal->path() : QString();
}

qint64 NetworkSession::journalLength() const
{
    return m_journal ? m_journal->length() : 0;
}

qint64 NetworkSession::journalSyncedLength() const
{
    return m_journal ? m_journal->syncedLength() : 0;
}

void NetworkSession::requestJournalSync()
{
    if (m_journal)
        m_journal->requestSync();
}

bool NetworkSession::codeMatches(const QString &code) const
{
    return !m_start.code.isEmpty() && code.trimmed() == m_start.code;
}

NetworkPupil *NetworkSession::pupilFor(const QString &token)
{
    const TokenStatus status = statusOf(token);
    return status.kind == TokenKind::Pupil ? m_pupils[size_t(status.index)].get() : nullptr;
}

NetworkSession::TokenStatus NetworkSession::statusOf(const QString &token)
{
    TokenStatus status;
    if (token.isEmpty() || token.size() > 64)
        return status;
    const QByteArray hash = NetworkSessionRules::tokenHash(token);
    if (const auto it = m_byToken.constFind(hash); it != m_byToken.constEnd()) {
        status.index = *it;
        status.kind = m_pupils[size_t(*it)]->removed ? TokenKind::Removed : TokenKind::Pupil;
    } else if (const auto moved = m_movedTokens.constFind(hash); moved != m_movedTokens.constEnd()) {
        status.index = *moved;
        status.kind = TokenKind::Moved;
    } else {
        for (const TakeOver &asked : m_takeOvers) {
            if (asked.tokenHash == hash) {
                status.index = asked.pupil;
                status.kind = asked.refused ? TokenKind::Refused : TokenKind::Waiting;
            }
        }
    }
    return status;
}

NetworkPupil &NetworkSession::addPupil(const QString &name, const QByteArray &tokenHash, quint64 seed,
                                       const QDateTime &started, const ExtraTime &extra)
{
    const int index = pupilCount();
    auto pupil = std::make_unique<NetworkPupil>(index, m_questionnaire, settings(), seed);
    pupil->name = name;
    pupil->tokenHash = tokenHash;
    pupil->started = started;
    pupil->time = CopyTime(qint64(settings().durationMinutes) * 60, extra, started);
    pupil->time.closeAt(m_closes);
    m_byToken.insert(tokenHash, index);
    m_pupils.push_back(std::move(pupil));
    return *m_pupils.back();
}

NetworkSession::Joined NetworkSession::join(const QString &name)
{
    if (usesPersonalCodes()) {
        Joined joined;
        joined.refusal = m_ended ? Refusal::Ended : Refusal::BadCode;
        return joined;
    }
    return joinAs(NetworkSessionRules::cleanName(name));
}

NetworkSession::Joined NetworkSession::joinByCode(const QString &code)
{
    Joined joined;
    if (m_ended) {
        joined.refusal = Refusal::Ended;
        return joined;
    }
    const int listed = m_start.codes.pupilOf(code);
    if (!usesPersonalCodes() || listed < 0 || listed >= m_start.classPupils.size()) {
        joined.refusal = Refusal::BadCode;
        return joined;
    }
    return joinAs(NetworkSessionRules::cleanName(m_start.classPupils.at(listed)));
}

int NetworkSession::joinedIndexOf(const QString &clean) const
{
    for (const std::unique_ptr<NetworkPupil> &pupil : m_pupils) {
        if (!pupil->removed && pupil->name.compare(clean, Qt::CaseInsensitive) == 0)
            return pupil->index;
    }
    return -1;
}

NetworkSession::Joined NetworkSession::joinAs(const QString &clean)
{
    Joined joined;
    if (m_ended) {
        joined.refusal = Refusal::Ended;
    } else if (closed()) {
        joined.refusal = Refusal::Closed;
    } else if (clean.isEmpty() || clean.size() > MaxNameLength) {
        joined.refusal = Refusal::BadName;
    } else if (pupilCount() >= MaxPupils) {
        joined.refusal = Refusal::Full;
    }
    if (joined.refusal != Refusal::None)
        return joined;

    // Someone already answers under this name: only the teacher may give that copy to
    // another device (a pupil whose phone died, or a classmate trying his luck).
    const int taken = joinedIndexOf(clean);
    if (taken >= 0) {
        const auto waiting = std::count_if(m_takeOvers.begin(), m_takeOvers.end(),
                                           [](const TakeOver &asked) { return !asked.refused; });
        if (waiting >= MaxWaiting) {
            joined.refusal = Refusal::Busy;
            return joined;
        }
        TakeOver asked;
        asked.id = m_nextTakeOver++;
        asked.pupil = taken;
        joined.token = NetworkSessionRules::newToken();
        asked.tokenHash = NetworkSessionRules::tokenHash(joined.token);
        asked.asked = m_clock();
        m_takeOvers.push_back(asked);
        joined.index = taken;
        joined.waiting = true;
        Q_EMIT takeOversChanged();
        return joined;
    }

    const QString token = NetworkSessionRules::newToken();
    const QByteArray hash = NetworkSessionRules::tokenHash(token);
    const quint64 seed = QRandomGenerator::system()->generate64();
    const QDateTime now = m_clock();
    // The extra time the class list gave when the pupil joined: a list changed later changes
    // nothing for a copy begun.
    const ExtraTime extra = listedExtraTime(clean);
    const qint64 journaledTo = m_journal->append(record(JoinRecord, {{QStringLiteral("h"), QString::fromLatin1(hash)},
                                                                     {QStringLiteral("name"), clean},
                                                                     {QStringLiteral("seed"), QString::number(seed)},
                                                                     {QStringLiteral("at"), timeValue(now)},
                                                                     {QStringLiteral("extra"), extra.isNone() ? QJsonValue() : QJsonValue(extra.text())}}));
    m_lastSeen = now;
    NetworkPupil &added = addPupil(clean, hash, seed, now, extra);
    added.journaledTo = journaledTo;
    joined.index = added.index;
    joined.token = token;
    Q_EMIT pupilJoined(joined.index);
    return joined;
}

NetworkSession::Refusal NetworkSession::answer(NetworkPupil &pupil, int position, int shown, qint64 sequence)
{
    if (shown < 0 || shown > QcmFormat::AnswerCount)
        return m_ended ? Refusal::Ended : pupil.finishedAt.isValid() ? Refusal::Finished : Refusal::NoSuchPlace;
    return answerPlaces(pupil, position, AnswerSets::of(shown), sequence);
}

NetworkSession::Refusal NetworkSession::answerPlaces(NetworkPupil &pupil, int position, AnswerSet shown, qint64 sequence)
{
    if (m_ended)
        return Refusal::Ended;
    if (pupil.timedOut || expireIfDue(pupil))
        return Refusal::TimeUp;
    if (pupil.finishedAt.isValid())
        return Refusal::Finished;
    const ClassVersion &version = pupil.run.version();
    if (position < 0 || position >= version.size() || (shown & AnswerSets::OutOfRange) != 0)
        return Refusal::NoSuchPlace;
    const int question = version.questionAt(position);
    if (live() && !m_pace.takesAnswersTo(question))
        return Refusal::QuestionClosed;
    AnswerSet ticked = 0;
    for (int place = 1; place <= QcmFormat::AnswerCount; ++place) {
        if (!AnswerSets::contains(shown, place))
            continue;
        const int answer = version.answerNumber(question, place);
        if (answer == 0)
            return Refusal::NoSuchPlace;
        ticked |= AnswerSets::of(answer);
    }
    const bool several = m_questionnaire->question(question).severalRight();
    if (!several && AnswerSets::count(ticked) > 1)
        return Refusal::OneAnswerOnly;
    pupil.lastPosition = position;

    qint64 &standing = pupil.sequence[size_t(question)];
    if (sequence <= standing)
        return Refusal::None; // a later answer already stands
    if (pupil.run.answerSets()[size_t(question)] == ticked) {
        standing = sequence;
        return Refusal::None;
    }
    // "a" is the first answer ticked, all a one-answer question has; "s" every one ticked, on a
    // question with several right answers.
    QJsonObject line = record(AnswerRecord, {{QStringLiteral("p"), pupil.index},
                                             {QStringLiteral("q"), question},
                                             {QStringLiteral("a"), AnswerSets::first(ticked)},
                                             {QStringLiteral("n"), double(sequence)}});
    if (several)
        line.insert(QStringLiteral("s"), answersOf(ticked));
    pupil.journaledTo = m_journal->append(line);
    pupil.run.setAnswers(question, ticked);
    standing = sequence;
    Q_EMIT pupilChanged(pupil.index);
    return Refusal::None;
}

void NetworkSession::notePosition(NetworkPupil &pupil, int position)
{
    if (position >= 0 && position < pupil.run.size())
        pupil.lastPosition = position;
}

NetworkSession::Refusal NetworkSession::finish(NetworkPupil &pupil)
{
    if (pupil.finishedAt.isValid())
        return Refusal::None;
    if (m_ended)
        return Refusal::Ended;
    if (expireIfDue(pupil))
        return Refusal::None;
    const QDateTime now = m_clock();
    pupil.journaledTo = m_journal->append(record(FinishRecord, {{QStringLiteral("p"), pupil.index},
                                                                {QStringLiteral("at"), timeValue(now)}}));
    pupil.finishedAt = now;
    pupil.run.finish();
    QString reason;
    if (!keep(pupil, &reason))
        Q_EMIT keepFailed(reason);
    Q_EMIT pupilChanged(pupil.index);
    return Refusal::None;
}

ClassRunRecord NetworkSession::recordOf(const NetworkPupil &pupil) const
{
    ClassRunRecord kept;
    kept.way = live() ? ClassRunRecord::Way::Live : ClassRunRecord::Way::Network;
    kept.pupil = pupil.name;
    kept.started = pupil.started;
    const QDateTime end = pupil.finishedAt.isValid() ? pupil.finishedAt : m_clock();
    kept.durationSeconds = std::max<qint64>(0, pupil.started.secsTo(end));
    kept.seed = pupil.run.version().seed();
    kept.finished = pupil.finishedAt.isValid();
    kept.removed = pupil.removed;
    kept.timedOut = pupil.timedOut;
    kept.answers = pupil.run.answers();
    kept.ticked = pupil.run.answerSets();
    kept.score = pupil.run.score();
    return kept;
}

bool NetworkSession::keep(NetworkPupil &pupil, QString *reason)
{
    try {
        m_keeper.keep(recordOf(pupil));
    } catch (const AppError &error) {
        *reason = error.message();
        return false;
    }
    pupil.kept = true;
    try {
        m_journal->append(record(KeptRecord, {{QStringLiteral("p"), pupil.index}}));
    } catch (const AppError &) {
        // The run is in the results; only a resumed session would keep it a second time.
    }
    return true;
}

QStringList NetworkSession::end()
{
    QStringList reasons;
    if (!m_ended && live()) {
        // Live, the teacher ends every pupil's run: each is kept finished, as far as it went.
        try {
            for (const std::unique_ptr<NetworkPupil> &pupil : m_pupils) {
                if (!pupil->removed && !pupil->finishedAt.isValid())
                    finish(*pupil);
            }
            setPace({LivePace::Step::Over, m_pace.question});
        } catch (const AppError &error) {
            reasons << error.message();
        }
    }
    if (!m_ended) {
        m_ended = true;
        m_takeOvers.clear();
        Q_EMIT takeOversChanged();
        try {
            m_journal->append(record(EndRecord, {{QStringLiteral("at"), timeValue(m_clock())}}));
        } catch (const AppError &error) {
            // Nothing is accepted any more all the same; the runs are kept below.
            reasons << error.message();
        }
        Q_EMIT sessionEnded();
    }
    reasons << keepUnkept();
    if (reasons.isEmpty() && m_journal)
        m_journal->remove();
    else if (m_journal)
        m_journal->syncNow();
    return reasons;
}

void NetworkSession::setPace(const LivePace &pace, const LiveTally *shown)
{
    if (m_ended)
        throw AppError(Text::tr("La passation est terminée."));
    QJsonObject line = record(PaceRecord, {{QStringLiteral("s"), LivePace::stepName(pace.step)},
                                           {QStringLiteral("q"), pace.question},
                                           {QStringLiteral("at"), timeValue(m_clock())}});
    if (shown) {
        QJsonArray counts;
        for (int count : shown->counts)
            counts.append(count);
        line.insert(QStringLiteral("c"), counts);
        line.insert(QStringLiteral("n"), shown->answered);
        line.insert(QStringLiteral("j"), shown->joined);
    }
    m_paceJournaledTo = m_journal->append(line);
    m_pace = pace;
    // What the pages are told next goes to the disk without waiting for a pupil's request.
    m_journal->requestSync();
    Q_EMIT paceChanged();
}

void NetworkSession::showCorrections()
{
    if (correctionsReleased())
        return;
    m_journal->append(record(CorrectionsRecord, {{QStringLiteral("at"), timeValue(m_clock())}}));
    m_correctionsShown = true;
}

QStringList NetworkSession::keepRemaining()
{
    if (!m_ended)
        return {};
    const QStringList reasons = keepUnkept();
    if (reasons.isEmpty() && m_journal)
        m_journal->remove();
    return reasons;
}

QStringList NetworkSession::keepUnkept()
{
    QStringList reasons;
    for (const std::unique_ptr<NetworkPupil> &pupil : m_pupils) {
        if (pupil->kept)
            continue;
        QString reason;
        if (keep(*pupil, &reason))
            Q_EMIT pupilChanged(pupil->index);
        else if (!reasons.contains(reason))
            reasons << reason;
    }
    return reasons;
}

int NetworkSession::unkeptCount() const
{
    return int(std::count_if(m_pupils.begin(), m_pupils.end(),
                             [](const std::unique_ptr<NetworkPupil> &pupil) { return !pupil->kept; }));
}

void NetworkSession::noteAddress(const QString &address, quint16 port)
{
    if (address == m_start.address && port == m_start.port)
        return;
    m_journal->append(record(AddressRecord, {{QStringLiteral("address"), address}, {QStringLiteral("port"), int(port)}}));
    m_start.address = address;
    m_start.port = port;
}

void NetworkSession::setClassList(const QString &className, const QStringList &pupils, const PersonalCodeList &codes,
                                  const QStringList &extraTimes)
{
    PersonalCodeList used = codes.inUse() && codes.pupils == pupils ? codes : PersonalCodeList();
    QStringList extras = extraTimes.mid(0, pupils.size());
    if (std::all_of(extras.begin(), extras.end(), [](const QString &extra) { return extra.isEmpty(); }))
        extras.clear();
    if (className == m_start.className && pupils == m_start.classPupils && used.salt == m_start.codes.salt
        && used.hashes == m_start.codes.hashes && extras == m_start.classExtraTimes)
        return;
    m_journal->append(record(ClassRecord, {{QStringLiteral("class"), className},
                                           {QStringLiteral("pupils"), QJsonArray::fromStringList(pupils)},
                                           {QStringLiteral("codes"), codesValue(used)},
                                           {QStringLiteral("extra"), extras.isEmpty() ? QJsonValue() : QJsonValue(QJsonArray::fromStringList(extras))}}));
    m_start.className = className;
    m_start.classPupils = pupils;
    m_start.codes = std::move(used);
    m_start.classExtraTimes = extras;
}

ExtraTime NetworkSession::listedExtraTime(const QString &clean) const
{
    for (qsizetype i = 0; i < m_start.classPupils.size() && i < m_start.classExtraTimes.size(); ++i) {
        if (NetworkSessionRules::cleanName(m_start.classPupils.at(i)).compare(clean, Qt::CaseInsensitive) == 0)
            return ExtraTime::parse(m_start.classExtraTimes.at(i)).value_or(ExtraTime());
    }
    return {};
}

void NetworkSession::noteSeen(const QJsonObject &line)
{
    const QJsonValue at = line.value(line.value(QStringLiteral("k")).toString() == SessionRecord ? QStringLiteral("started")
                                                                                                : QStringLiteral("at"));
    if (!at.isDouble())
        return;
    const QDateTime seen = timeOf(at);
    if (!m_lastSeen.isValid() || seen > m_lastSeen)
        m_lastSeen = seen;
}

bool NetworkSession::timeRunning() const
{
    return std::any_of(m_pupils.begin(), m_pupils.end(), [](const std::unique_ptr<NetworkPupil> &pupil) {
        return pupil->time.timed() && !pupil->finishedAt.isValid() && !pupil->removed;
    });
}

void NetworkSession::noteAlive()
{
    if (m_ended || !timeRunning())
        return;
    const QDateTime now = m_clock();
    m_journal->append(record(AliveRecord, {{QStringLiteral("at"), timeValue(now)}}));
    m_lastSeen = now;
}

void NetworkSession::giveBackInterruption()
{
    // Nobody could answer between the last moment the journal shows and now: that time is
    // given back to every copy still being answered (a copy begun since gets none of it).
    if (m_ended || !timeRunning() || !m_lastSeen.isValid())
        return;
    const QDateTime now = m_clock();
    const qint64 back = std::max<qint64>(0, m_lastSeen.msecsTo(now));
    m_journal->append(record(ResumeRecord, {{QStringLiteral("at"), timeValue(now)}, {QStringLiteral("back"), double(back)}}));
    for (const std::unique_ptr<NetworkPupil> &pupil : m_pupils) {
        if (stillAnswering(*pupil, m_lastSeen))
            pupil->time.giveBack(back);
    }
    m_lastSeen = now;
    m_lastGivenBack = back;
}

void NetworkSession::setClosingTime(const QDateTime &closes)
{
    if (closes == m_closes || m_ended)
        return;
    m_journal->append(record(ClosesRecord, {{QStringLiteral("at"), closes.isValid() ? timeValue(closes) : QJsonValue()}}));
    m_closes = closes;
    for (const std::unique_ptr<NetworkPupil> &pupil : m_pupils)
        pupil->time.closeAt(closes);
    m_journal->requestSync();
    expireDue();
}

bool NetworkSession::closed() const
{
    return m_closes.isValid() && m_clock() >= m_closes;
}

void NetworkSession::grantMinutes(int index, int minutes)
{
    if (index < 0 || index >= pupilCount())
        throw AppError(Text::tr("Cette ligne n'existe pas."));
    NetworkPupil &pupil = *m_pupils[size_t(index)];
    if (m_ended || pupil.removed || pupil.finishedAt.isValid())
        throw AppError(Text::tr("La copie de « %1 » n'est plus en cours : son temps ne change plus.").arg(pupil.name));
    if (!pupil.time.limited())
        throw AppError(Text::tr("Le questionnaire n'a pas de durée : il n'y a pas de temps à accorder."));
    if (minutes <= 0)
        return;
    m_journal->append(record(GrantRecord, {{QStringLiteral("p"), index}, {QStringLiteral("min"), minutes}}));
    pupil.time.grantMinutes(minutes);
    m_journal->requestSync();
    Q_EMIT pupilChanged(index);
}

int NetworkSession::remainingSeconds(const NetworkPupil &pupil) const
{
    if (pupil.finishedAt.isValid() || pupil.removed || m_ended)
        return -1;
    return pupil.time.remainingSeconds(m_clock());
}

bool NetworkSession::expireIfDue(NetworkPupil &pupil)
{
    if (m_ended || pupil.removed || pupil.finishedAt.isValid() || !pupil.time.over(m_clock()))
        return false;
    timeOut(pupil);
    return true;
}

int NetworkSession::expireDue()
{
    int ended = 0;
    for (const std::unique_ptr<NetworkPupil> &pupil : m_pupils)
        ended += expireIfDue(*pupil) ? 1 : 0;
    return ended;
}

void NetworkSession::timeOut(NetworkPupil &pupil)
{
    // The copy ends when its time did, even if this is noticed a moment later.
    const QDateTime end = std::min(m_clock(), pupil.time.deadline());
    pupil.journaledTo = m_journal->append(record(FinishRecord, {{QStringLiteral("p"), pupil.index},
                                                                {QStringLiteral("at"), timeValue(end)},
                                                                {QStringLiteral("time"), true}}));
    pupil.finishedAt = end;
    pupil.timedOut = true;
    pupil.run.finish();
    m_journal->requestSync();
    QString reason;
    if (!keep(pupil, &reason))
        Q_EMIT keepFailed(reason);
    Q_EMIT pupilChanged(pupil.index);
}

std::vector<NetworkSession::TakeOver>::iterator NetworkSession::takeOver(int id)
{
    return std::find_if(m_takeOvers.begin(), m_takeOvers.end(), [id](const TakeOver &asked) { return asked.id == id; });
}

void NetworkSession::retoken(NetworkPupil &pupil, const QByteArray &tokenHash)
{
    if (tokenHash.isEmpty())
        return;
    m_byToken.remove(pupil.tokenHash);
    m_movedTokens.insert(pupil.tokenHash, pupil.index);
    m_movedTokens.remove(tokenHash);
    pupil.tokenHash = tokenHash;
    m_byToken.insert(tokenHash, pupil.index);
}

void NetworkSession::acceptTakeOver(int id)
{
    const auto it = takeOver(id);
    if (it == m_takeOvers.end() || it->refused)
        return;
    NetworkPupil &pupil = *m_pupils[size_t(it->pupil)];
    if (m_ended || pupil.removed)
        throw AppError(Text::tr("Cette copie ne peut plus changer d'appareil."));
    m_journal->append(record(MoveRecord, {{QStringLiteral("p"), pupil.index},
                                          {QStringLiteral("h"), QString::fromLatin1(it->tokenHash)}}));
    const QByteArray hash = it->tokenHash;
    m_takeOvers.erase(it);
    retoken(pupil, hash);
    // The teacher's decisions reach the disk without waiting for a pupil's next request.
    m_journal->requestSync();
    Q_EMIT takeOversChanged();
    Q_EMIT pupilChanged(pupil.index);
}

void NetworkSession::refuseTakeOver(int id)
{
    const auto it = takeOver(id);
    if (it == m_takeOvers.end() || it->refused)
        return;
    it->refused = true;
    // Refusals never told (a device that went away) are forgotten before they pile up.
    const auto refused = std::count_if(m_takeOvers.begin(), m_takeOvers.end(), [](const TakeOver &t) { return t.refused; });
    if (refused > MaxWaiting) {
        m_takeOvers.erase(std::find_if(m_takeOvers.begin(), m_takeOvers.end(), [](const TakeOver &t) { return t.refused; }));
    }
    Q_EMIT takeOversChanged();
}

void NetworkSession::withdrawTakeOver(const QString &token)
{
    const QByteArray hash = NetworkSessionRules::tokenHash(token);
    const auto it = std::find_if(m_takeOvers.begin(), m_takeOvers.end(),
                                 [&hash](const TakeOver &asked) { return asked.tokenHash == hash && !asked.refused; });
    if (it == m_takeOvers.end())
        return;
    m_takeOvers.erase(it);
    Q_EMIT takeOversChanged();
}

void NetworkSession::dropTakeOversOf(int index)
{
    bool dropped = false;
    for (TakeOver &asked : m_takeOvers) {
        if (asked.pupil == index && !asked.refused) {
            asked.refused = true;
            dropped = true;
        }
    }
    if (dropped)
        Q_EMIT takeOversChanged();
}

QString NetworkSession::whyNotRemovable(int index) const
{
    if (index < 0 || index >= pupilCount())
        return Text::tr("Cette ligne n'existe pas.");
    const NetworkPupil &pupil = *m_pupils[size_t(index)];
    if (pupil.removed)
        return Text::tr("La copie de « %1 » est déjà retirée.").arg(pupil.name);
    if (m_ended)
        return Text::tr("La passation est terminée : ses copies sont enregistrées.");
    if (pupil.kept)
        return Text::tr("La copie de « %1 » est terminée et déjà enregistrée dans les résultats : "
                        "elle ne peut plus être retirée d'ici.")
            .arg(pupil.name);
    return QString();
}

void NetworkSession::remove(int index)
{
    const QString why = whyNotRemovable(index);
    if (!why.isEmpty())
        throw AppError(why);
    NetworkPupil &pupil = *m_pupils[size_t(index)];
    m_journal->append(record(RemoveRecord, {{QStringLiteral("p"), index}}));
    pupil.removed = true;
    m_journal->requestSync();
    dropTakeOversOf(index);
    QString reason;
    if (!keep(pupil, &reason))
        Q_EMIT keepFailed(reason);
    Q_EMIT pupilChanged(index);
}

void NetworkSession::applyMerge(NetworkPupil &kept, NetworkPupil &other)
{
    // A finished copy has its mark: nothing is added to it afterwards.
    if (!kept.finishedAt.isValid()) {
        // Every answer ticked goes over, not just the first of a set.
        const std::vector<AnswerSet> given = other.run.answerSets();
        for (size_t question = 0; question < given.size(); ++question) {
            if (given[question] != 0 && kept.run.answerSets()[question] == 0)
                kept.run.setAnswers(int(question), given[question]);
        }
    }
    other.removed = true;
}

void NetworkSession::merge(int kept, int other)
{
    if (kept == other)
        throw AppError(Text::tr("Choisissez deux lignes différentes."));
    const QString why = whyNotRemovable(other);
    if (!why.isEmpty())
        throw AppError(why);
    if (kept < 0 || kept >= pupilCount() || m_pupils[size_t(kept)]->removed)
        throw AppError(Text::tr("La ligne gardée n'est plus dans la passation."));
    NetworkPupil &into = *m_pupils[size_t(kept)];
    NetworkPupil &from = *m_pupils[size_t(other)];
    m_journal->append(record(MergeRecord, {{QStringLiteral("p"), kept}, {QStringLiteral("from"), other}}));
    applyMerge(into, from);
    m_journal->requestSync();
    dropTakeOversOf(other);
    QString reason;
    if (!keep(from, &reason))
        Q_EMIT keepFailed(reason);
    Q_EMIT pupilChanged(kept);
    Q_EMIT pupilChanged(other);
}
