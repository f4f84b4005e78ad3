#include "classroom/network/networksession.h"
#include "classroom/network/sessionstatistics.h"
#include "networktesting.h"
#include "platform/apperror.h"

#include <QtTest>

#include <atomic>
#include <cerrno>
#include <set>
#include <unistd.h>


using namespace NetworkTesting;

namespace {

using Refusal = NetworkSession::Refusal;

NetworkSessionStart startOf(const QStringList &lines)
{
    NetworkSessionStart start;
    start.lines = lines;
    start.questionnairePath = QStringLiteral("/classe/quiz.qcm");
    start.address = QStringLiteral("127.0.0.1");
    start.port = 8080;
    start.code = QStringLiteral("123456");
    return start;
}

// What a session holds, pupil by pupil, to compare a resumed session with the original.
QStringList stateOf(const NetworkSession &session)
{
    QStringList state;
    for (int i = 0; i < session.pupilCount(); ++i) {
        const NetworkPupil &pupil = session.pupil(i);
        QStringList answers;
        for (int answer : pupil.run.answers())
            answers << QString::number(answer);
        state << QStringLiteral("%1|%2|%3|%4|%5|%6")
                     .arg(pupil.name, QString::number(pupil.run.version().seed()), answers.join(QLatin1Char(',')))
                     .arg(pupil.finishedAt.isValid())
                     .arg(pupil.kept)
                     .arg(QString::fromLatin1(pupil.tokenHash.left(8)));
    }
    if (session.ended())
        state << QStringLiteral("ended");
    return state;
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestNetworkSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void crashAnywhereKeepsWhatWasAcknowledged_data();
    void crashAnywhereKeepsWhatWasAcknowledged();
    void failedWriteIsNotAcknowledged();
    void lateAnswersNeverUndoLaterOnes_data();
    void lateAnswersNeverUndoLaterOnes();
    void refusals_data();
    void refusals();
    void endKeepsEveryRunOnce();
    void keepingRetriedAfterAResume();
    void resumeRefusesWhatIsNoJournal_data();
    void resumeRefusesWhatIsNoJournal();
    void oneProgramAtATime();
    void tokensAreUnguessable();
    void aJoinedNameWaitsForTheTeacher_data();
    void aJoinedNameWaitsForTheTeacher();
    void removedAndMergedRowsAreKeptNotCounted_data();
    void removedAndMergedRowsAreKeptNotCounted();
    void personalCodesNameThePupil_data();
    void personalCodesNameThePupil();
    void failedSyncTriedAgainWhenAsked();
    void setsComeBackWithTheSession_data();
    void setsComeBackWithTheSession();
    void statisticsCountOnlyThePupilsWhoGotAQuestion();
};

void TestNetworkSession::crashAnywhereKeepsWhatWasAcknowledged_data()
{
    QTest::addColumn<bool>("shuffle");
    QTest::newRow("in order") << false;
    QTest::newRow("shuffled") << true;
}

// The program stops at any byte of the journal's writing: the resumed session holds exactly
// the operations whose line was whole, which are the ones that could have been acknowledged.
void TestNetworkSession::crashAnywhereKeepsWhatWasAcknowledged()
{
    QFETCH(bool, shuffle);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("quiz-reseau.journal"));
    ListKeeper keeper;
    StepClock clock;
    auto session = NetworkSession::begin(path, startOf(questionnaire(4, shuffle)), keeper, clock.function());

    // After each acknowledged operation: the journal's length and the state it stands for.
    std::vector<std::pair<qint64, QStringList>> steps{{bytesOf(path).size(), stateOf(*session)}};
    auto acknowledged = [&] { steps.emplace_back(bytesOf(path).size(), stateOf(*session)); };
    const auto ann = session->join(QStringLiteral("Ann Durand"));
    acknowledged();
    const auto bob = session->join(QStringLiteral("Bob Martin"));
    acknowledged();
    NetworkPupil &a = *session->pupilFor(ann.token);
    NetworkPupil &b = *session->pupilFor(bob.token);
    QCOMPARE(session->answer(a, 0, 2, 1), Refusal::None);
    acknowledged();
    QCOMPARE(session->answer(b, 3, 1, 1), Refusal::None);
    acknowledged();
    QCOMPARE(session->answer(a, 0, 3, 2), Refusal::None); // changed
    acknowledged();
    QCOMPARE(session->answer(a, 1, 0, 3), Refusal::None); // nothing: no line
    QCOMPARE(session->answer(a, 2, 4, 4), Refusal::None);
    acknowledged();
    QCOMPARE(session->finish(a), Refusal::None); // a finish line, then a kept line
    acknowledged();
    {
        // Stopped between the two: finished, kept again at the end.
        const QByteArray written = bytesOf(path);
        QStringList finishedOnly = steps.back().second;
        finishedOnly[0].replace(QStringLiteral("|1|1|"), QStringLiteral("|1|0|"));
        steps.insert(steps.end() - 1, {written.lastIndexOf('\n', written.size() - 2) + 1, finishedOnly});
    }
    QCOMPARE(keeper.kept.size(), size_t(1));
    const QByteArray whole = bytesOf(path);
    session.reset();

    // Cut at every line's end, a byte either side of it, and in its middle.
    std::set<qint64> cuts;
    for (qint64 start = steps.front().first, end; start < whole.size(); start = end) {
        end = whole.indexOf('\n', start) + 1;
        cuts.insert({start + 1, (start + end) / 2, end - 1, end, std::min<qint64>(end + 1, whole.size())});
    }
    const QString cut = dir.filePath(QStringLiteral("cut.journal"));
    for (qint64 length : cuts) {
        writeBytes(cut, whole.left(length));
        ListKeeper again;
        auto resumed = NetworkSession::resume(cut, again, clock.function());
        // The last step whose lines are all whole.
        auto step = std::find_if(steps.rbegin(), steps.rend(), [&](const auto &s) { return s.first <= length; });
        const QStringList &expected = step->second;
        const QStringList actual = stateOf(*resumed);
        QVERIFY2(actual == expected, qPrintable(QStringLiteral("cut at %1: %2").arg(length).arg(actual.join(QLatin1Char(' ')))));
        // A cut line is dropped before the next one is written: it cannot swallow it.
        const int pupils = resumed->pupilCount();
        resumed->join(QStringLiteral("Chloé"));
        resumed.reset();
        ListKeeper third;
        QCOMPARE(NetworkSession::resume(cut, third, clock.function())->pupilCount(), pupils + 1);
    }
}

void TestNetworkSession::failedWriteIsNotAcknowledged()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("quiz-reseau.journal"));
    ListKeeper keeper;
    StepClock clock;
    auto session = NetworkSession::begin(path, startOf(questionnaire(3)), keeper, clock.function());
    NetworkPupil &pupil = *session->pupilFor(session->join(QStringLiteral("Ann")).token);
    QCOMPARE(session->answer(pupil, 0, 1, 1), Refusal::None);
    const qint64 before = QFileInfo(path).size();
    {
        // Room for part of the next line only.
        FileSizeLimit full(rlim_t(before + 10));
        QVERIFY_THROWS_EXCEPTION(AppError, session->answer(pupil, 1, 2, 2));
        QVERIFY_THROWS_EXCEPTION(AppError, session->finish(pupil));
    }
    QCOMPARE(QFileInfo(path).size(), before);
    QCOMPARE(pupil.run.answers()[1], 0);
    QVERIFY(!pupil.finishedAt.isValid());
    QVERIFY(keeper.kept.empty());
    // The same answer sent again once the disk has room is taken.
    QCOMPARE(session->answer(pupil, 1, 2, 2), Refusal::None);
    session.reset();
    ListKeeper again;
    auto resumed = NetworkSession::resume(path, again, clock.function());
    QCOMPARE(resumed->pupil(0).run.answers()[0], 1);
    QCOMPARE(resumed->pupil(0).run.answers()[1], 2);
}

void TestNetworkSession::lateAnswersNeverUndoLaterOnes_data()
{
    QTest::addColumn<QList<int>>("sent"); // pairs: place shown, sequence number
    QTest::addColumn<int>("standing");
    QTest::newRow("in order") << QList<int>{1, 1, 2, 2} << 2;
    QTest::newRow("late one arrives after") << QList<int>{2, 2, 1, 1} << 2;
    QTest::newRow("same number again") << QList<int>{3, 5, 1, 5} << 3;
    QTest::newRow("taken back, then late") << QList<int>{1, 1, 0, 3, 4, 2} << 0;
    QTest::newRow("same answer newer, older other") << QList<int>{2, 1, 2, 4, 3, 3} << 2;
}

void TestNetworkSession::lateAnswersNeverUndoLaterOnes()
{
    QFETCH(QList<int>, sent);
    QFETCH(int, standing);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("j.journal"));
    ListKeeper keeper;
    StepClock clock;
    auto session = NetworkSession::begin(path, startOf(questionnaire(2)), keeper, clock.function());
    NetworkPupil &pupil = *session->pupilFor(session->join(QStringLiteral("Ann")).token);
    for (int i = 0; i + 1 < sent.size(); i += 2)
        QCOMPARE(session->answer(pupil, 0, sent[i], sent[i + 1]), Refusal::None);
    QCOMPARE(pupil.run.chosenAt(0), standing);
    session.reset();
    // And the same after a resume, where an older answer sent again must still lose.
    auto resumed = NetworkSession::resume(path, keeper, clock.function());
    NetworkPupil &back = const_cast<NetworkPupil &>(resumed->pupil(0));
    QCOMPARE(back.run.chosenAt(0), standing);
    QCOMPARE(resumed->answer(back, 0, 4, 1), Refusal::None);
    QCOMPARE(back.run.chosenAt(0), standing);
}

void TestNetworkSession::refusals_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("expected");
    QTest::newRow("position past the end") << "answer 3 1" << int(Refusal::NoSuchPlace);
    QTest::newRow("negative position") << "answer -1 1" << int(Refusal::NoSuchPlace);
    QTest::newRow("place the question lacks") << "answer 0 5" << int(Refusal::NoSuchPlace);
    QTest::newRow("negative place") << "answer 0 -2" << int(Refusal::NoSuchPlace);
    QTest::newRow("after finishing") << "finish; answer 0 1" << int(Refusal::Finished);
    QTest::newRow("after the end") << "end; answer 0 1" << int(Refusal::Ended);
    QTest::newRow("finish after the end") << "end; finish" << int(Refusal::Ended);
    QTest::newRow("join after the end") << "end; join Zoé" << int(Refusal::Ended);
    QTest::newRow("empty name") << "join " << int(Refusal::BadName);
    QTest::newRow("only controls") << "join \x01\x02" << int(Refusal::BadName);
    QTest::newRow("name too long") << "join " + QString(61, QLatin1Char('x')) << int(Refusal::BadName);
    QTest::newRow("longest name") << "join " + QString(60, QLatin1Char('x')) << int(Refusal::None);
}

void TestNetworkSession::refusals()
{
    QFETCH(QString, action);
    QFETCH(int, expected);
    QTemporaryDir dir;
    ListKeeper keeper;
    StepClock clock;
    auto session = NetworkSession::begin(dir.filePath(QStringLiteral("j.journal")), startOf(questionnaire(3)), keeper, clock.function());
    NetworkPupil &pupil = *session->pupilFor(session->join(QStringLiteral("Ann")).token);
    const QByteArray before = bytesOf(dir.filePath(QStringLiteral("j.journal")));
    Refusal last = Refusal::None;
    for (const QString &step : action.split(QStringLiteral("; "))) {
        const QStringList words = step.split(QLatin1Char(' '));
        if (words[0] == QLatin1String("answer"))
            last = session->answer(pupil, words[1].toInt(), words[2].toInt(), 1);
        else if (words[0] == QLatin1String("finish"))
            last = session->finish(pupil);
        else if (words[0] == QLatin1String("end"))
            QVERIFY(session->end().isEmpty());
        else if (words[0] == QLatin1String("join"))
            last = session->join(step.mid(5)).refusal;
    }
    QCOMPARE(int(last), expected);
    if (expected != int(Refusal::None) && !action.contains(QLatin1String("end")) && !action.contains(QLatin1String("finish")))
        QCOMPARE(bytesOf(dir.filePath(QStringLiteral("j.journal"))), before);
}

void TestNetworkSession::endKeepsEveryRunOnce()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("j.journal"));
    ListKeeper keeper;
    StepClock clock;
    auto session = NetworkSession::begin(path, startOf(questionnaire(3)), keeper, clock.function());
    NetworkPupil &ann = *session->pupilFor(session->join(QStringLiteral("Ann")).token);
    NetworkPupil &bob = *session->pupilFor(session->join(QStringLiteral("Bob")).token);
    session->answer(ann, 0, 1, 1);
    session->answer(bob, 1, 2, 1);
    clock.now = clock.now.addSecs(95);
    QCOMPARE(session->finish(ann), Refusal::None);
    QCOMPARE(session->finish(ann), Refusal::None); // twice is once
    QCOMPARE(keeper.kept.size(), size_t(1));
    QVERIFY(keeper.kept[0].finished);
    QCOMPARE(keeper.kept[0].durationSeconds, qint64(95));
    QVERIFY(keeper.kept[0].way == ClassRunRecord::Way::Network);

    keeper.refuse = true;
    QCOMPARE(session->end(), QStringList{QStringLiteral("Le fichier des résultats est ouvert ailleurs.")});
    QVERIFY(QFile::exists(path)); // Bob's run is only there
    QCOMPARE(session->unkeptCount(), 1);
    keeper.refuse = false;
    QVERIFY(session->keepRemaining().isEmpty());
    QCOMPARE(keeper.kept.size(), size_t(2));
    QCOMPARE(keeper.kept[1].pupil, QStringLiteral("Bob"));
    QVERIFY(!keeper.kept[1].finished);
    QCOMPARE(keeper.kept[1].answers, (std::vector<int>{0, 2, 0}));
    QVERIFY(!QFile::exists(path));
}

void TestNetworkSession::keepingRetriedAfterAResume()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("j.journal"));
    ListKeeper keeper;
    StepClock clock;
    {
        auto session = NetworkSession::begin(path, startOf(questionnaire(2)), keeper, clock.function());
        NetworkPupil &ann = *session->pupilFor(session->join(QStringLiteral("Ann")).token);
        session->join(QStringLiteral("Bob"));
        keeper.refuse = true;
        QSignalSpy failed(session.get(), &NetworkSession::keepFailed);
        session->finish(ann);
        QCOMPARE(failed.size(), 1);
        QCOMPARE(session->end().size(), 1);
    }
    keeper.refuse = false;
    auto resumed = NetworkSession::resume(path, keeper, clock.function());
    QVERIFY(resumed->ended());
    QCOMPARE(resumed->unkeptCount(), 2);
    QVERIFY(resumed->keepRemaining().isEmpty());
    QCOMPARE(keeper.kept.size(), size_t(2));
    QVERIFY(keeper.kept[0].finished);
    QVERIFY(!keeper.kept[1].finished);
    QVERIFY(!QFile::exists(path));
}

void TestNetworkSession::resumeRefusesWhatIsNoJournal_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("cut first line") << QByteArray("{\"k\":\"session\",\"v\":1");
    QTest::newRow("other program's text") << QByteArray("hello\n");
    QTest::newRow("later version") << QByteArray("{\"k\":\"session\",\"v\":2}\n");
    QTest::newRow("answers without a session") << QByteArray("{\"k\":\"answer\",\"p\":0}\n");
}

void TestNetworkSession::resumeRefusesWhatIsNoJournal()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("j.journal"));
    writeBytes(path, bytes);
    ListKeeper keeper;
    StepClock clock;
    try {
        NetworkSession::resume(path, keeper, clock.function());
        QFAIL("resumed");
    } catch (const AppError &error) {
        QVERIFY(error.message().contains(QStringLiteral("n'est pas un journal de passation")));
    }
    QCOMPARE(bytesOf(path), bytes); // left as it was
}

void TestNetworkSession::oneProgramAtATime()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("j.journal"));
    ListKeeper keeper;
    StepClock clock;
    auto session = NetworkSession::begin(path, startOf(questionnaire(2)), keeper, clock.function());
    QVERIFY_THROWS_EXCEPTION(AppError, NetworkSession::resume(path, keeper, clock.function()));
    QVERIFY_THROWS_EXCEPTION(AppError, NetworkSession::begin(path, startOf(questionnaire(2)), keeper, clock.function()));
    session.reset();
    QCOMPARE(NetworkSession::resume(path, keeper, clock.function())->start().code, QStringLiteral("123456"));
}

void TestNetworkSession::tokensAreUnguessable()
{
    QTemporaryDir dir;
    ListKeeper keeper;
    StepClock clock;
    auto session = NetworkSession::begin(dir.filePath(QStringLiteral("j.journal")), startOf(questionnaire(2)), keeper, clock.function());
    QSet<QString> tokens;
    for (int i = 0; i < 50; ++i) {
        const QString token = session->join(QStringLiteral("Élève %1").arg(i)).token;
        QCOMPARE(token.size(), 22);
        tokens.insert(token);
    }
    QCOMPARE(tokens.size(), 50);
    // Never the name, never a counter; the journal keeps none of them.
    const QByteArray journal = bytesOf(dir.filePath(QStringLiteral("j.journal")));
    for (const QString &token : tokens)
        QVERIFY(!journal.contains(token.toLatin1()));
    QVERIFY(!session->pupilFor(QStringLiteral("0")));
    QVERIFY(!session->pupilFor(QStringLiteral("Élève 1")));
    QVERIFY(!session->pupilFor(QString()));
}

void TestNetworkSession::failedSyncTriedAgainWhenAsked()
{
    QTemporaryDir dir;
    std::atomic<int> error{EIO};
    std::atomic<int> calls{0};
    const QString path = dir.filePath(QStringLiteral("j.journal"));
    SessionJournal journal(path, 0, [&](int handle) {
        ++calls;
        // As the system may do: what it could not write is gone, and it says so once.
        if (error != 0 && ::ftruncate(handle, 0) != 0)
            return errno;
        return error.load();
    });
    QSignalSpy synced(&journal, &SessionJournal::synced);
    const qint64 length = journal.append({{QStringLiteral("k"), QStringLiteral("answer")}});
    journal.requestSync();
    QTRY_COMPARE(synced.size(), 1);
    QVERIFY(synced[0][1].toString().startsWith(QStringLiteral("Impossible d'écrire le journal")));
    QCOMPARE(journal.syncedLength(), qint64(0));
    // Not tried again on its own, over and over.
    QTest::qWait(100);
    QCOMPARE(calls.load(), 1);
    // The page sends its answer again, which asks again: this time the disk takes it.
    error = 0;
    journal.requestSync();
    QTRY_COMPARE(synced.size(), 2);
    QCOMPARE(synced[1][0].toLongLong(), length);
    QVERIFY(synced[1][1].toString().isEmpty());
    QCOMPARE(journal.syncedLength(), length);
    // Written again before that sync: what is acknowledged is there.
    const SessionJournal::Contents contents = SessionJournal::read(path);
    QCOMPARE(contents.records.size(), size_t(1));
    QCOMPARE(contents.wholeLength, length);
}

QTEST_GUILESS_MAIN(TestNetworkSession)
// Three questions drawn among seven for each pupil, every one answered right: each answer is
// taken whatever the question's number, and each question is right for all who got it and
// counts no one else.
void TestNetworkSession::statisticsCountOnlyThePupilsWhoGotAQuestion()
{
    QTemporaryDir dir;
    ListKeeper keeper;
    StepClock clock;
    QStringList lines = questionnaire(7);
    lines.prepend(QStringLiteral("PASSATION tirage=3"));
    auto session = NetworkSession::begin(dir.filePath(QStringLiteral("j.journal")), startOf(lines), keeper, clock.function());
    std::vector<int> takers(7, 0);
    for (const QString &name : {QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Chloé"), QStringLiteral("Dan")}) {
        NetworkPupil &pupil = *session->pupilFor(session->join(name).token);
        QCOMPARE(pupil.run.size(), 3);
        for (int position = 0; position < pupil.run.size(); ++position) {
            const int question = pupil.run.version().questionAt(position);
            ++takers[size_t(question)];
            QCOMPARE(session->answer(pupil, position, pupil.run.version().shownPlace(question, 1 + question % 4), position + 1),
                     NetworkSession::Refusal::None);
        }
        session->finish(pupil);
    }
    const SessionStatistics statistics = SessionStatistics::of(*session);
    for (int question = 0; question < 6; ++question) {
        QCOMPARE(statistics.items.items[size_t(question)].takers, takers[size_t(question)]);
        if (takers[size_t(question)] > 0)
            QCOMPARE(statistics.items.items[size_t(question)].facility, 1.0);
    }
    QCOMPARE(statistics.marks.mean, 20.0);
}

#include "tst_networksession.moc"

void TestNetworkSession::aJoinedNameWaitsForTheTeacher_data()
{
    QTest::addColumn<QString>("second");    // the name the second device asks for
    QTest::addColumn<bool>("accepted");     // the teacher's answer
    QTest::newRow("same name, taken over") << "NGUYEN Hugo" << true;
    QTest::newRow("same name, refused") << "NGUYEN Hugo" << false;
    QTest::newRow("other case and blanks") << "  nguyen   HUGO " << true;
}

void TestNetworkSession::aJoinedNameWaitsForTheTeacher()
{
    QFETCH(QString, second);
    QFETCH(bool, accepted);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("j.journal"));
    ListKeeper keeper;
    StepClock clock;
    auto session = NetworkSession::begin(path, startOf(questionnaire(4)), keeper, clock.function());
    const QString first = session->join(QStringLiteral("NGUYEN Hugo")).token;
    NetworkPupil &hugo = *session->pupilFor(first);
    for (int position = 0; position < 3; ++position)
        QCOMPARE(session->answer(hugo, position, 1, position + 1), Refusal::None);

    // The second device gets no copy of its own, and not the first one's either.
    const NetworkSession::Joined asked = session->join(second);
    QCOMPARE(asked.refusal, Refusal::None);
    QVERIFY(asked.waiting);
    QCOMPARE(session->pupilCount(), 1);
    QVERIFY(!session->pupilFor(asked.token));
    QCOMPARE(session->statusOf(asked.token).kind, NetworkSession::TokenKind::Waiting);
    QCOMPARE(session->takeOvers().size(), size_t(1));

    const int id = session->takeOvers().front().id;
    if (accepted)
        session->acceptTakeOver(id);
    else
        session->refuseTakeOver(id);
    QCOMPARE(session->statusOf(asked.token).kind,
             accepted ? NetworkSession::TokenKind::Pupil : NetworkSession::TokenKind::Refused);
    QCOMPARE(session->statusOf(first).kind, accepted ? NetworkSession::TokenKind::Moved : NetworkSession::TokenKind::Pupil);
    QCOMPARE(session->pupilCount(), 1);
    if (accepted)
        QCOMPARE(session->pupilFor(asked.token)->run.answeredCount(), 3);

    // A resumed session knows which device holds the copy.
    session.reset();
    auto resumed = NetworkSession::resume(path, keeper, clock.function());
    const QString holder = accepted ? asked.token : first;
    QVERIFY(resumed->pupilFor(holder));
    QCOMPARE(resumed->pupilFor(holder)->run.answeredCount(), 3);
    if (accepted)
        QCOMPARE(resumed->statusOf(first).kind, NetworkSession::TokenKind::Moved);
    else
        QCOMPARE(resumed->statusOf(asked.token).kind, NetworkSession::TokenKind::Unknown);
}

void TestNetworkSession::removedAndMergedRowsAreKeptNotCounted_data()
{
    QTest::addColumn<bool>("keptFinished");   // the row kept has finished before the merge
    QTest::addColumn<QList<int>>("answers");  // of the row kept, afterwards
    // Hugo answered 1 and 2 on a phone, then 3 under another spelling on a second device.
    QTest::newRow("still answering: blanks filled") << false << QList<int>{1, 2, 1, 0};
    QTest::newRow("finished: its mark stands") << true << QList<int>{1, 2, 0, 0};
}

void TestNetworkSession::removedAndMergedRowsAreKeptNotCounted()
{
    QFETCH(bool, keptFinished);
    QFETCH(QList<int>, answers);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("j.journal"));
    ListKeeper keeper;
    StepClock clock;
    auto session = NetworkSession::begin(path, startOf(questionnaire(4)), keeper, clock.function());
    NetworkPupil &hugo = *session->pupilFor(session->join(QStringLiteral("NGUYEN Hugo")).token);
    NetworkPupil &other = *session->pupilFor(session->join(QStringLiteral("Hugo N.")).token);
    NetworkPupil &zoe = *session->pupilFor(session->join(QStringLiteral("Zoé")).token);
    // Without shuffling, positions are question numbers; the places shown are the answers.
    session->answer(hugo, 0, 1, 1);
    session->answer(hugo, 1, 2, 2);
    session->answer(other, 1, 4, 1);
    session->answer(other, 2, 1, 2);
    if (keptFinished)
        session->finish(hugo);
    const size_t keptBefore = keeper.kept.size();

    session->merge(hugo.index, other.index);
    session->remove(zoe.index);
    QVERIFY(other.removed && zoe.removed && !hugo.removed);
    QCOMPARE(QList<int>(hugo.run.answers().begin(), hugo.run.answers().end()), answers);
    // Both taken out are in the results at once, marked so; the row kept is not kept twice.
    QCOMPARE(keeper.kept.size(), keptBefore + 2);
    QVERIFY(keeper.kept[keptBefore].removed && keeper.kept[keptBefore + 1].removed);
    QCOMPARE(keeper.kept[keptBefore].answers, (std::vector<int>{0, 4, 1, 0}));
    // Their pages are turned away; a name removed is free again.
    QVERIFY(!session->pupilFor(QString()));
    QVERIFY(!session->join(QStringLiteral("Zoé")).waiting);
    // A row already in the results as finished cannot be taken back from here.
    if (keptFinished)
        QVERIFY_THROWS_EXCEPTION(AppError, session->remove(hugo.index));
    QVERIFY_THROWS_EXCEPTION(AppError, session->merge(hugo.index, zoe.index));

    const QStringList before = stateOf(*session);
    session.reset();
    auto resumed = NetworkSession::resume(path, keeper, clock.function());
    QCOMPARE(stateOf(*resumed), before);
    QVERIFY(resumed->pupil(1).removed && resumed->pupil(2).removed && !resumed->pupil(0).removed);
}

void TestNetworkSession::personalCodesNameThePupil_data()
{
    QTest::addColumn<QString>("typed");  // how the pupil types Bob's code
    QTest::addColumn<bool>("known");
    QTest::newRow("as printed") << "=" << true;
    QTest::newRow("lower case, dash and blanks") << "lower" << true;
    QTest::newRow("one letter wrong") << "wrong" << false;
    QTest::newRow("empty") << "" << false;
}

void TestNetworkSession::personalCodesNameThePupil()
{
    QFETCH(QString, typed);
    QFETCH(bool, known);
    QTemporaryDir dir;
    PersonalCodeStore store(dir.filePath(QStringLiteral("classes")));
    const QStringList pupils{QStringLiteral("DURAND Ann"), QStringLiteral("MARTIN Bob")};
    const QStringList codes = store.renew(QStringLiteral("4e B"), QStringLiteral("/classe/quiz.qcm"), pupils);
    QCOMPARE(codes.size(), 2);
    // Only hashes are kept.
    const QByteArray file = bytesOf(store.pathOf(QStringLiteral("4e B"), QStringLiteral("/classe/quiz.qcm")));
    QVERIFY(file.contains("MARTIN Bob"));
    QVERIFY(!file.contains(codes[0].toLatin1()) && !file.contains(codes[1].toLatin1()));
    QVERIFY(!store.find(QStringLiteral("4e B"), QStringLiteral("/classe/autre.qcm")));

    const QString code = codes[1];
    QString sent = typed == QLatin1String("=") ? code : typed;
    if (typed == QLatin1String("lower"))
        sent = QStringLiteral(" %1-%2 ").arg(code.left(3).toLower(), code.mid(3));
    else if (typed == QLatin1String("wrong"))
        sent = code.left(5) + (code.at(5) == QLatin1Char('A') ? QLatin1Char('B') : QLatin1Char('A'));

    ListKeeper keeper;
    StepClock clock;
    auto session = NetworkSession::begin(dir.filePath(QStringLiteral("j.journal")), startOf(questionnaire(2)), keeper, clock.function());
    session->setClassList(QStringLiteral("4e B"), pupils, *store.find(QStringLiteral("4e B"), QStringLiteral("/classe/quiz.qcm")));
    QVERIFY(session->usesPersonalCodes());
    // A name alone opens nothing, even one of the list.
    QCOMPARE(session->join(QStringLiteral("MARTIN Bob")).refusal, Refusal::BadCode);
    const NetworkSession::Joined joined = session->joinByCode(sent);
    QCOMPARE(joined.refusal, known ? Refusal::None : Refusal::BadCode);
    if (!known)
        return;
    QCOMPARE(session->pupilFor(joined.token)->name, QStringLiteral("MARTIN Bob"));
    // The same code on another device waits for the teacher.
    QVERIFY(session->joinByCode(code).waiting);
    // And a resumed session still asks for the codes.
    const QString path = session->journalPath();
    session.reset();
    auto resumed = NetworkSession::resume(path, keeper, clock.function());
    QVERIFY(resumed->usesPersonalCodes());
    QCOMPARE(resumed->joinByCode(codes[0]).refusal, Refusal::None);
}

void TestNetworkSession::setsComeBackWithTheSession_data()
{
    // Steps "position places sequence" ("-": none ticked), answers in the file's order; what
    // questions 1 to 3 hold, as answer sets (answer k is bit k - 1).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<int>>("standing");
    QTest::newRow("a set on each several-answer question") << QStringList{"0 24 1", "2 123 2"} << QList<int>{0xA, 0, 0x7};
    QTest::newRow("a set changed, then taken back")
        << QStringList{"0 24 1", "0 2 2", "2 13 3", "2 - 4"} << QList<int>{0x2, 0, 0};
    QTest::newRow("a late set loses") << QStringList{"0 24 5", "0 1 4"} << QList<int>{0xA, 0, 0};
    QTest::newRow("one answer beside the sets") << QStringList{"0 34 1", "1 3 2"} << QList<int>{0xC, 0x4, 0};
}

void TestNetworkSession::setsComeBackWithTheSession()
{
    QFETCH(QStringList, steps);
    QFETCH(QList<int>, standing);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("j.journal"));
    ListKeeper keeper;
    StepClock clock;
    auto session = NetworkSession::begin(path, startOf(severalQuestionnaire()), keeper, clock.function());
    NetworkPupil &pupil = *session->pupilFor(session->join(QStringLiteral("Ann")).token);
    for (const QString &step : steps) {
        const QStringList words = step.split(QLatin1Char(' '));
        AnswerSet places = 0;
        for (const QChar digit : words[1])
            places |= AnswerSets::of(digit.digitValue() < 0 ? 0 : digit.digitValue());
        QCOMPARE(session->answerPlaces(pupil, words[0].toInt(), places, words[2].toLongLong()), Refusal::None);
    }
    const std::vector<AnswerSet> expected(standing.begin(), standing.end());
    QCOMPARE(pupil.run.answerSets(), expected);
    const double points = pupil.run.score().points;
    session.reset();
    auto resumed = NetworkSession::resume(path, keeper, clock.function());
    QCOMPARE(resumed->pupil(0).run.answerSets(), expected);
    QCOMPARE(resumed->pupil(0).run.score().points, points);
    // The sequences come back too: an answer older than the one standing is still ignored.
    NetworkPupil &back = const_cast<NetworkPupil &>(resumed->pupil(0));
    QCOMPARE(resumed->answerPlaces(back, 0, AnswerSets::of(1), 1), Refusal::None);
    QCOMPARE(back.run.answerSets(), expected);
}
