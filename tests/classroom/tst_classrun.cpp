#include "classroom/classrun.h"
#include "classroom/pupil/pupilsession.h"
#include "document/qcmformat.h"
#include "platform/apperror.h"

#include <QtTest>

#include <set>

namespace {

// One block; `answers` as stored (empty ones stay empty), `right` as the REPONSE line holds it.
QStringList block(int n, const QStringList &answers, const QString &right, const QStringList &freeText = {})
{
    QStringList lines{QcmFormat::openingTag(n), QStringLiteral("TITLE Question %1").arg(n + 1), QStringLiteral("PICTURE ")};
    for (int k = 0; k < QcmFormat::AnswerCount; ++k)
        lines << QcmFormat::answerKeyword(k + 1) + answers.value(k);
    lines << QcmFormat::RightAnswerKeyword + right << freeText << QcmFormat::closingTag(n);
    return lines;
}

QStringList fourAnswers(int n, int right)
{
    return block(n, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")},
                 QString::number(right));
}

std::shared_ptr<const ClassQuestionnaire> questionnaireOf(const QStringList &lines)
{
    return std::make_shared<const ClassQuestionnaire>(ClassQuestionnaire::fromLines(lines));
}

struct ListKeeper : ClassRunKeeper
{
    std::vector<ClassRunRecord> kept;
    bool refuse = false;
    QString keep(const ClassRunRecord &record) override
    {
        if (refuse)
            throw AppError(QStringLiteral("Le disque est plein."));
        kept.push_back(record);
        return QStringLiteral("quiz-resultats.csv");
    }
};

ClassSettings shuffled()
{
    ClassSettings settings;
    settings.shuffleQuestions = true;
    settings.shuffleAnswers = true;
    return settings;
}

} // namespace

class TestClassRun : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void timeUpAtTheClassComputer_data();
    void timeUpAtTheClassComputer();
    void questionsReadForAClass();
    void correctionSplitFromTheStatement_data();
    void correctionSplitFromTheStatement();
    void sameSeedSameVersion();
    void versionsDiffer();
    void shuffledAnswersScoreInTheQuestionnairesNumbering();
    void marks_data();
    void marks();
    void roundingHalfway_data();
    void roundingHalfway();
    void refusedAnswers();
    void severalRightAnswersMarked_data();
    void severalRightAnswersMarked();
    void severalRightAnswersRead_data();
    void severalRightAnswersRead();
    void unansweredInThePupilsOrder();
    void fingerprintFollowsTheQuestions();
    void sessionKeepsEveryRun();
};

void TestClassRun::questionsReadForAClass()
{
    QStringList lines = block(0, {QStringLiteral("oui"), QStringLiteral("non")}, QStringLiteral("2"),
                              {QStringLiteral("Énoncé."), QStringLiteral("correction :"), QStringLiteral("Parce que.")});
    lines << block(1, {QStringLiteral("a"), QString(), QStringLiteral("c")}, QStringLiteral("2")) // an empty answer
          << block(2, {QStringLiteral("a"), QStringLiteral("b")}, QStringLiteral("x"))
          << block(3, {QStringLiteral("a"), QStringLiteral("b")}, QStringLiteral("0"));
    const ClassQuestionnaire questionnaire = ClassQuestionnaire::fromLines(lines);
    QCOMPARE(questionnaire.size(), 4);
    const ClassQuestion &first = questionnaire.question(0);
    QCOMPARE(first.rightAnswer, std::optional<int>(2));
    QCOMPARE(first.statement, QStringList{QStringLiteral("Énoncé.")});
    QCOMPARE(first.correction, QStringList{QStringLiteral("Parce que.")});
    QCOMPARE(questionnaire.question(1).answerNumbers(), (std::vector<int>{1, 3}));
    // A right answer naming an empty answer, no number, 0: shown, never marked.
    QVERIFY(!questionnaire.question(1).marked());
    QVERIFY(!questionnaire.question(2).marked());
    QVERIFY(!questionnaire.question(3).marked());
    QCOMPARE(questionnaire.markedCount(), 1);
}

void TestClassRun::correctionSplitFromTheStatement_data()
{
    QTest::addColumn<QStringList>("freeText");
    QTest::addColumn<QStringList>("statement");
    QTest::addColumn<QStringList>("correction");
    const QString sum = QStringLiteral("7 × 8 = 56");
    QTest::newRow("no marker") << QStringList{QStringLiteral("Énoncé.")} << QStringList{QStringLiteral("Énoncé.")}
                               << QStringList();
    // What "Insérer une correction" writes: a marker line of its own.
    QTest::newRow("marker alone") << QStringList{QStringLiteral("Énoncé."), QStringLiteral("Correction :"), sum}
                                  << QStringList{QStringLiteral("Énoncé.")} << QStringList{sum};
    QTest::newRow("correction on the marker line") << QStringList{QStringLiteral("Correction : ") + sum}
                                                   << QStringList() << QStringList{sum};
    QTest::newRow("no space, lower case, then more lines")
        << QStringList{QStringLiteral("Calculez."), QStringLiteral("  correction:") + sum, QStringLiteral("Table de 7.")}
        << QStringList{QStringLiteral("Calculez.")} << QStringList{sum, QStringLiteral("Table de 7.")};
    QTest::newRow("only the first marker opens")
        << QStringList{QStringLiteral("Correction : a"), QStringLiteral("Correction : b")} << QStringList()
        << QStringList{QStringLiteral("a"), QStringLiteral("Correction : b")};
    QTest::newRow("a word that only begins the same")
        << QStringList{QStringLiteral("Corrections : non"), QStringLiteral("Correction de la copie : non"),
                       QStringLiteral("Correctionnel")}
        << QStringList{QStringLiteral("Corrections : non"), QStringLiteral("Correction de la copie : non"),
                       QStringLiteral("Correctionnel")}
        << QStringList();
}

void TestClassRun::correctionSplitFromTheStatement()
{
    QFETCH(QStringList, freeText);
    const QStringList lines = block(0, {QStringLiteral("54"), QStringLiteral("56")}, QStringLiteral("2"), freeText);
    const ClassQuestionnaire questionnaire = ClassQuestionnaire::fromLines(lines);
    const ClassQuestion &question = questionnaire.question(0);
    QTEST(question.statement, "statement");
    QTEST(question.correction, "correction");
}

void TestClassRun::sameSeedSameVersion()
{
    QStringList lines;
    for (int n = 0; n < 30; ++n)
        lines << fourAnswers(n, 1 + n % 4);
    const auto questionnaire = questionnaireOf(lines);
    const ClassVersion a = ClassVersion::build(*questionnaire, shuffled(), 0xC0FFEE);
    const ClassVersion b = ClassVersion::build(*questionnaire, shuffled(), 0xC0FFEE);
    for (int n = 0; n < 30; ++n) {
        QCOMPARE(a.questionAt(n), b.questionAt(n));
        QCOMPARE(a.shownAnswers(n), b.shownAnswers(n));
        QCOMPARE(a.positionOf(a.questionAt(n)), n);
    }
    // Fixed values: a version printed on paper today is read back by any later build.
    QCOMPARE(a.questionAt(0), 22);
    QCOMPARE(a.shownAnswers(0), (std::vector<int>{1, 3, 4, 2}));

    const ClassVersion inOrder = ClassVersion::build(*questionnaire, ClassSettings(), 0xC0FFEE);
    for (int n = 0; n < 30; ++n) {
        QCOMPARE(inOrder.questionAt(n), n);
        QCOMPARE(inOrder.shownAnswers(n), (std::vector<int>{1, 2, 3, 4}));
    }
}

void TestClassRun::versionsDiffer()
{
    QStringList lines;
    for (int n = 0; n < 12; ++n)
        lines << fourAnswers(n, 1);
    const auto questionnaire = questionnaireOf(lines);
    std::set<std::vector<int>> orders;
    std::vector<int> firstShown(4, 0);
    for (quint64 seed = 1; seed <= 200; ++seed) {
        const ClassVersion version = ClassVersion::build(*questionnaire, shuffled(), seed);
        std::vector<int> order;
        for (int p = 0; p < version.size(); ++p)
            order.push_back(version.questionAt(p));
        orders.insert(order);
        ++firstShown[size_t(version.shownAnswers(0).front() - 1)];
    }
    QVERIFY(orders.size() > 190);
    // Every answer comes first about a quarter of the time.
    for (int count : firstShown)
        QVERIFY2(count > 25 && count < 75, qPrintable(QString::number(count)));
}

void TestClassRun::shuffledAnswersScoreInTheQuestionnairesNumbering()
{
    QStringList lines;
    for (int n = 0; n < 10; ++n)
        lines << fourAnswers(n, 1 + n % 4);
    const auto questionnaire = questionnaireOf(lines);
    ClassRun run(questionnaire, shuffled(), 42);
    // The pupil clicks, in the order shown, the place where each right answer stands.
    for (int position = 0; position < run.size(); ++position) {
        const ClassQuestion &question = run.questionAt(position);
        const int place = run.version().shownPlace(question.number, *question.rightAnswer);
        QVERIFY(run.choose(position, place));
        QCOMPARE(run.chosenAt(position), place);
        QCOMPARE(run.shownAnswers(position).at(place - 1), question.answers[size_t(*question.rightAnswer - 1)]);
    }
    for (int n = 0; n < 10; ++n)
        QCOMPARE(run.answers()[size_t(n)], 1 + n % 4);
    QCOMPARE(run.score().rightCount, 10);
    QCOMPARE(run.score().mark, 20.0);

    // The same answers given in the questionnaire's order mark the same.
    ClassRun plain(questionnaire, ClassSettings(), 7);
    for (int n = 0; n < 10; ++n)
        QVERIFY(plain.setAnswer(n, 1 + n % 4));
    QCOMPARE(plain.score().mark, run.score().mark);
}

void TestClassRun::marks_data()
{
    QTest::addColumn<QList<int>>("answers"); // questions 1 to 4 right with 1; question 5 has none
    QTest::addColumn<bool>("penalty");
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("rounding");
    QTest::addColumn<QString>("mark");
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("unanswered");

    QTest::newRow("all right") << QList<int>{1, 1, 1, 1, 2} << false << 20 << 50 << "20 / 20" << 4 << 0;
    QTest::newRow("all wrong") << QList<int>{2, 2, 2, 2, 1} << false << 20 << 50 << "0 / 20" << 0 << 0;
    QTest::newRow("none answered") << QList<int>{0, 0, 0, 0, 0} << false << 20 << 50 << "0 / 20" << 0 << 4;
    QTest::newRow("three of four") << QList<int>{1, 1, 1, 0, 0} << false << 20 << 50 << "15 / 20" << 3 << 1;
    QTest::newRow("one of four out of 10") << QList<int>{1, 0, 0, 0, 0} << false << 10 << 50 << "2,5 / 10" << 1 << 3;
    // Question 1 has four answers: a wrong one costs a third of a point.
    QTest::newRow("penalty") << QList<int>{1, 1, 1, 2, 0} << true << 20 << 25 << "13,25 / 20" << 3 << 0;
    QTest::newRow("penalty floor at 0") << QList<int>{2, 2, 2, 2, 0} << true << 20 << 50 << "0 / 20" << 0 << 0;
    QTest::newRow("unanswered costs nothing") << QList<int>{1, 0, 0, 0, 0} << true << 20 << 50 << "5 / 20" << 1 << 3;
    QTest::newRow("rounded to 0,1") << QList<int>{1, 1, 0, 0, 0} << false << 7 << 10 << "3,5 / 7" << 2 << 2;
    QTest::newRow("rounded to 1") << QList<int>{1, 0, 0, 0, 0} << false << 7 << 100 << "2 / 7" << 1 << 3;
}

void TestClassRun::marks()
{
    QFETCH(QList<int>, answers);
    QFETCH(bool, penalty);
    QFETCH(int, scale);
    QFETCH(int, rounding);
    QStringList lines;
    for (int n = 0; n < 4; ++n)
        lines << fourAnswers(n, 1);
    lines << block(4, {QStringLiteral("a"), QStringLiteral("b")}, QString());
    const auto questionnaire = questionnaireOf(lines);
    ClassSettings settings;
    settings.penalty = penalty ? ClassSettings::Penalty::Chance : ClassSettings::Penalty::None;
    settings.markScale = scale;
    settings.roundingHundredths = rounding;
    const ClassScore score = ClassMarking::score(*questionnaire, settings, std::vector<int>(answers.begin(), answers.end()));
    QTEST(score.markText(), "mark");
    QTEST(score.rightCount, "right");
    QTEST(score.unansweredCount, "unanswered");
    QCOMPARE(score.markedCount, 4);
    QCOMPARE(score.outcomes[4], ClassScore::Outcome::NotMarked);
}

void TestClassRun::roundingHalfway_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("rounded");
    QTest::newRow("halfway up to the half") << 13.25 << 50 << "13,5";
    QTest::newRow("below halfway") << 13.24 << 50 << "13";
    QTest::newRow("tenth halfway held inexactly") << 13.35 << 10 << "13,4";
    QTest::newRow("quarter") << 13.3333 << 25 << "13,25";
    QTest::newRow("whole") << 12.5 << 100 << "13";
}

void TestClassRun::roundingHalfway()
{
    QFETCH(double, value);
    QFETCH(int, step);
    QTEST(ClassMarking::numberText(ClassMarking::roundToStep(value, step)), "rounded");
}

void TestClassRun::refusedAnswers()
{
    const auto questionnaire = questionnaireOf(block(0, {QStringLiteral("a"), QStringLiteral("b")}, QStringLiteral("1"))
                                               + block(1, {QStringLiteral("a"), QStringLiteral("b")}, QStringLiteral("2")));
    ClassRun run(questionnaire, ClassSettings(), 1);
    QVERIFY(!run.choose(0, 3));  // only two answers
    QVERIFY(!run.choose(2, 1));  // no third question
    QVERIFY(!run.setAnswer(0, 4));
    QVERIFY(run.choose(0, 2));
    QVERIFY(run.choose(0, 0));   // taken back
    QCOMPARE(run.answers()[0], 0);
    QVERIFY(run.choose(1, 2));
    run.finish();
    QVERIFY(!run.choose(0, 1));
    QCOMPARE(run.answers(), (std::vector<int>{0, 2}));
}

// Question 1: five answers, 1 and 3 right (each right one 1/2, each wrong one 1/3). Question 2:
// four answers, 2 right (a wrong one costs 1/3 under the chance penalty). Out of 20, to 0,01.
void TestClassRun::severalRightAnswersMarked_data()
{
    QTest::addColumn<bool>("partial");
    QTest::addColumn<bool>("chance");
    QTest::addColumn<QString>("ticked"); // of question 1
    QTest::addColumn<int>("answer");     // of question 2
    QTest::addColumn<double>("firstPoints");
    QTest::addColumn<double>("mark");
    QTest::newRow("all or nothing: exactly the right ones") << false << false << "13" << 2 << 1.0 << 20.0;
    QTest::newRow("all or nothing: one of the two") << false << false << "1" << 2 << 0.0 << 10.0;
    QTest::newRow("all or nothing: one more") << false << false << "134" << 0 << 0.0 << 0.0;
    QTest::newRow("all or nothing, chance: all ticked") << false << true << "12345" << 2 << 0.0 << 10.0;
    QTest::newRow("all or nothing, chance: question 2 wrong") << false << true << "13" << 1 << 1.0 << 6.67;
    QTest::newRow("partial: one of the two") << true << false << "1" << 2 << 0.5 << 15.0;
    QTest::newRow("partial: both and a wrong one") << true << false << "134" << 0 << 2.0 / 3 << 6.67;
    QTest::newRow("partial: a right and a wrong one") << true << false << "14" << 0 << 1.0 / 6 << 1.67;
    QTest::newRow("partial: a wrong one alone, never below 0") << true << false << "4" << 2 << 0.0 << 10.0;
    QTest::newRow("partial: all ticked") << true << false << "12345" << 2 << 0.0 << 10.0;
    QTest::newRow("partial, chance: both and a wrong one, question 2 wrong") << true << true << "134" << 1 << 2.0 / 3 << 3.33;
    QTest::newRow("partial, chance: a wrong one alone, question 2 wrong") << true << true << "4" << 3 << 0.0 << 0.0;
    QTest::newRow("partial: blank") << true << false << "" << 0 << 0.0 << 0.0;
}

void TestClassRun::severalRightAnswersMarked()
{
    QFETCH(bool, partial);
    QFETCH(bool, chance);
    QFETCH(QString, ticked);
    QFETCH(int, answer);
    const auto questionnaire = questionnaireOf(
        block(0, {"a", "b", "c", "d", "e"}, "1", {"Correction :", "Bonnes réponses : 1, 3"}) + fourAnswers(1, 2));
    QVERIFY(questionnaire->question(0).severalRight());
    ClassSettings settings;
    settings.roundingHundredths = 1;
    settings.severalMarking = partial ? ClassSettings::SeveralMarking::Partial : ClassSettings::SeveralMarking::AllOrNothing;
    settings.penalty = chance ? ClassSettings::Penalty::Chance : ClassSettings::Penalty::None;
    ClassRun run(questionnaire, settings, 7);
    AnswerSet set = 0;
    for (const QChar c : ticked)
        set |= AnswerSets::of(c.digitValue());
    QVERIFY(run.setAnswers(0, set));
    QVERIFY(run.setAnswer(1, answer));
    const ClassScore score = run.score();
    QTEST(score.questionPoints[0], "firstPoints");
    QTEST(score.mark, "mark");
    const auto expected = ticked.isEmpty()      ? ClassScore::Outcome::Unanswered
                        : ticked == QLatin1String("13") ? ClassScore::Outcome::Right
                                                : ClassScore::Outcome::Wrong;
    QCOMPARE(score.outcomes[0], expected);
    // The first ticked answer stands for the set where one answer per question is read.
    QCOMPARE(run.answers()[0], ticked.isEmpty() ? 0 : ticked.front().digitValue());
    // A one-answer question takes one answer.
    QVERIFY(!run.setAnswers(1, AnswerSets::of(1) | AnswerSets::of(2)));
}

void TestClassRun::severalRightAnswersRead_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("right");
    QTest::addColumn<QStringList>("freeText");
    QTest::addColumn<int>("rightSet");
    QTest::addColumn<bool>("feedback"); // the comment line after the free text is read
    QTest::newRow("two right answers") << QStringList{"a", "b", "c"} << "2"
                                       << QStringList{"Correction :", "Bonnes réponses : 2, 3"} << 0b110 << true;
    QTest::newRow("one of them has no text: one answer")
        << QStringList{"a", "b", "c"} << "2" << QStringList{"Correction :", "Bonnes réponses : 2, 4"} << 0 << true;
    QTest::newRow("in the statement: one answer, no comment")
        << QStringList{"a", "b", "c"} << "2" << QStringList{"Bonnes réponses : 2, 3"} << 0 << false;
    QTest::newRow("no right answer line: not marked")
        << QStringList{"a", "b", "c"} << "x" << QStringList{"Correction :", "Bonnes réponses : 2, 3"} << 0 << true;
}

void TestClassRun::severalRightAnswersRead()
{
    QFETCH(QStringList, answers);
    QFETCH(QString, right);
    QFETCH(QStringList, freeText);
    const auto questionnaire = questionnaireOf(block(0, answers, right, freeText + QStringList{"Commentaire de la réponse 1 : non"}));
    QTEST(int(questionnaire->question(0).rightAnswers), "rightSet");
    QFETCH(bool, feedback);
    QCOMPARE(questionnaire->question(0).feedback[0], feedback ? QStringLiteral("non") : QString());
}

void TestClassRun::unansweredInThePupilsOrder()
{
    QStringList lines;
    for (int n = 0; n < 6; ++n)
        lines << fourAnswers(n, 1);
    ClassRun run(questionnaireOf(lines), shuffled(), 99);
    QVERIFY(run.choose(1, 1));
    QVERIFY(run.choose(4, 2));
    QCOMPARE(run.unansweredPositions(), (std::vector<int>{0, 2, 3, 5}));
    QCOMPARE(run.answeredCount(), 2);
}

void TestClassRun::fingerprintFollowsTheQuestions()
{
    const QStringList lines = fourAnswers(0, 1) + fourAnswers(1, 2);
    const QString print = ClassQuestionnaire::fromLines(lines).fingerprint();
    QCOMPARE(print.size(), 16);
    QCOMPARE(ClassQuestionnaire::fromLines(lines).fingerprint(), print);
    QVERIFY(ClassQuestionnaire::fromLines(fourAnswers(0, 1) + fourAnswers(1, 3)).fingerprint() != print);
    QVERIFY(ClassQuestionnaire::fromLines(fourAnswers(0, 2) + fourAnswers(1, 1)).fingerprint() != print);
    // The free text (statement, correction) is not what the copies are marked by.
    QCOMPARE(ClassQuestionnaire::fromLines(block(0, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")},
                                                 QStringLiteral("1"), {QStringLiteral("Voir la carte.")})
                                           + fourAnswers(1, 2))
                 .fingerprint(),
             print);
}

void TestClassRun::sessionKeepsEveryRun()
{
    QStringList lines;
    for (int n = 0; n < 4; ++n)
        lines << fourAnswers(n, 1);
    ListKeeper keeper;
    QDateTime now(QDate(2026, 12, 8), QTime(10, 0));
    quint64 nextSeed = 100;
    PupilSession session(questionnaireOf(lines), shuffled(), keeper, [&now] { return now; },
                         [&nextSeed] { return nextSeed++; });
    QVERIFY(!session.stop()); // nobody answering: nothing to keep

    ClassRun &first = session.startPupil(QStringLiteral("  DUPONT   Marie "));
    for (int p = 0; p < first.size(); ++p)
        first.setAnswer(first.version().questionAt(p), 1);
    now = now.addSecs(754);
    keeper.refuse = true;
    QVERIFY_THROWS_EXCEPTION(AppError, session.finishPupil());
    QVERIFY(session.pupilAnswering()); // not kept: still open, to be kept again
    keeper.refuse = false;
    const ClassRunRecord done = session.finishPupil();
    QCOMPARE(done.pupil, QStringLiteral("DUPONT Marie"));
    QCOMPARE(done.durationSeconds, 754);
    QCOMPARE(done.seed, quint64(100));
    QVERIFY(done.finished);
    QCOMPARE(done.score.mark, 20.0);
    QVERIFY(!session.pupilAnswering());

    ClassRun &second = session.startPupil(QStringLiteral("MARTIN Léo"));
    QCOMPARE(second.version().seed(), quint64(101));
    second.setAnswer(2, 1);
    const std::optional<ClassRunRecord> stopped = session.stop();
    QVERIFY(stopped && !stopped->finished);
    QCOMPARE(stopped->answers, (std::vector<int>{0, 0, 1, 0}));
    QCOMPARE(keeper.kept.size(), size_t(2));
    QCOMPARE(session.pupilsDone(), (QStringList{QStringLiteral("DUPONT Marie"), QStringLiteral("MARTIN Léo")}));
}

void TestClassRun::timeUpAtTheClassComputer_data()
{
    QTest::addColumn<QString>("extra");
    QTest::addColumn<int>("allowed");
    QTest::newRow("the duration alone") << "" << 120;
    QTest::newRow("half as much again") << "+50 %" << 180;
    QTest::newRow("ten minutes more") << "+10 min" << 720;
}

void TestClassRun::timeUpAtTheClassComputer()
{
    QFETCH(QString, extra);
    QFETCH(int, allowed);
    QStringList lines;
    for (int n = 0; n < 3; ++n)
        lines << fourAnswers(n, 1);
    ClassSettings settings = shuffled();
    settings.durationMinutes = 2;
    ListKeeper keeper;
    QDateTime now(QDate(2026, 12, 8), QTime(10, 0));
    PupilSession session(questionnaireOf(lines), settings, keeper, [&now] { return now; }, [] { return quint64(7); });
    ClassRun &run = session.startPupil(QStringLiteral("DUPONT Marie"), *ExtraTime::parse(extra));
    QCOMPARE(session.remainingSeconds(), allowed);
    run.setAnswer(1, 1);
    now = now.addSecs(allowed - 1);
    QVERIFY(!session.timeUpIfDue());
    QCOMPARE(session.remainingSeconds(), 1);
    now = now.addSecs(1);
    const std::optional<ClassRunRecord> kept = session.timeUpIfDue();
    QVERIFY(kept);
    QVERIFY(kept->timedOut && kept->finished);
    QCOMPARE(kept->answers, (std::vector<int>{0, 1, 0}));
    QCOMPARE(keeper.kept.size(), size_t(1));
    QVERIFY(!session.pupilAnswering());
    QVERIFY(!session.timeUpIfDue());  // kept once
}

QTEST_GUILESS_MAIN(TestClassRun)
#include "tst_classrun.moc"
