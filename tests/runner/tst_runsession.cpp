#include "runner/resultstable.h"
#include "runner/runsession.h"
#include "runnertestdata.h"

#include <QtTest>

using RunnerTestData::block;
using RunnerTestData::questionnaire;

namespace {

using Solutions = QList<int>; // -1: no solution

// Plays steps such as "next 3" (the box holds 3, then next question); returns how many times
// the run was already on the last question.
int play(RunSession &session, const QStringList &steps)
{
    int pastLast = 0;
    for (const QString &step : steps) {
        const QStringList parts = step.split(QLatin1Char(' '));
        const QString op = parts.at(0);
        const int box = parts.value(1).toInt();
        if (op == QLatin1String("first"))
            session.Premier(box);
        else if (op == QLatin1String("prev"))
            session.Precedent(box);
        else if (op == QLatin1String("next"))
            pastLast += session.Suivant(box) ? 1 : 0;
        else if (op == QLatin1String("last"))
            session.Dernier(box);
        else
            qFatal("unknown step %s", qPrintable(step));
        session.LitFiche();
    }
    return pastLast;
}

RunSession started(const QStringList &document)
{
    RunSession session;
    session.Init(document);
    session.Compte();
    session.Exec();
    return session;
}

QList<int> answersOf(const RunResults &results)
{
    QList<int> answers;
    for (const RunResultRow &row : results.rows)
        answers << row.answer;
    return answers;
}

Solutions solutionsOf(const RunResults &results)
{
    Solutions solutions;
    for (const RunResultRow &row : results.rows)
        solutions << row.solution.value_or(-1);
    return solutions;
}

QList<bool> marksOf(const RunResults &results)
{
    QList<bool> marks;
    for (const RunResultRow &row : results.rows)
        marks << row.right;
    return marks;
}

} // namespace

class TestRunSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showing_data();
    void showing();
    void counting_data();
    void counting();
    void navigation_data();
    void navigation();
    void scoring_data();
    void scoring();
    void changingRightAnswerToWrongLowersTotal();
    void newRunForgetsPreviousRun();
    void typedAnswerFolding_data();
    void typedAnswerFolding();
    void resultsGrid_data();
    void resultsGrid();
};

void TestRunSession::showing_data()
{
    QTest::addColumn<QStringList>("document");
    QTest::addColumn<int>("moves"); // PgDn presses from the first question
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("answerLines");
    QTest::addColumn<QStringList>("freeText");

    const QStringList five{QStringLiteral("1) 1-1"), QStringLiteral("2) 1-2"), QStringLiteral("3) 1-3"),
                           QStringLiteral("4) 1-4"), QStringLiteral("5) 1-5")};
    QTest::newRow("first question") << questionnaire(3) << 0 << true << QStringLiteral("Titre 1") << five
                                    << QStringList{QStringLiteral("Texte 1")};

    QStringList holes = block(0, QStringLiteral("Trous"), {QStringLiteral("a"), QStringLiteral("b"), QString(), QStringLiteral("d")},
                              QStringLiteral("2"));
    holes << questionnaire(2).mid(12);
    QTest::newRow("answer 3 empty keeps the fixed places")
        << holes << 0 << true << QStringLiteral("Trous")
        << QStringList{QStringLiteral("1) a"), QStringLiteral("2) b"), QString(), QStringLiteral("4) d"), QString()}
        << QStringList();

    QStringList fifteen;
    for (int i = 1; i <= 15; ++i)
        fifteen << QStringLiteral("ligne %1").arg(i);
    QStringList longText = block(0, QStringLiteral("Long"), {QStringLiteral("a")}, QStringLiteral("1"), fifteen);
    longText << questionnaire(2).mid(12);
    QTest::newRow("15 free-text lines show 12")
        << longText << 0 << true << QStringLiteral("Long")
        << QStringList{QStringLiteral("1) a"), QString(), QString(), QString(), QString()} << fifteen.mid(0, 12);

    const QString title300(300, QLatin1Char('t'));
    QStringList longTitle = block(0, title300, {QStringLiteral("a")}, QStringLiteral("1"));
    longTitle << questionnaire(2).mid(12);
    QTest::newRow("title cut to 255 characters")
        << longTitle << 0 << true << title300.left(255)
        << QStringList{QStringLiteral("1) a"), QString(), QString(), QString(), QString()} << QStringList();

    QTest::newRow("tenth question read from block 0009")
        << questionnaire(12) << 9 << true << QStringLiteral("Titre 10")
        << QStringList{QStringLiteral("1) 10-1"), QStringLiteral("2) 10-2"), QStringLiteral("3) 10-3"),
                       QStringLiteral("4) 10-4"), QStringLiteral("5) 10-5")}
        << QStringList{QStringLiteral("Texte 10")};

    // Blocks in reverse order and one with a lower-case tag: found by number, not by place.
    QStringList reversed = block(1, QStringLiteral("Deux"), {QStringLiteral("x")}, QStringLiteral("1"));
    QStringList lowerCase = block(0, QStringLiteral("Un"), {QStringLiteral("y")}, QStringLiteral("1"));
    lowerCase[0] = QStringLiteral("<bloc0000>");
    reversed << lowerCase << QStringLiteral("<BLOC9999>");
    QTest::newRow("lower-case tag after its successor")
        << reversed << 0 << true << QStringLiteral("Un")
        << QStringList{QStringLiteral("1) y"), QString(), QString(), QString(), QString()} << QStringList();

    // Numbering with a hole: question 2 has no block.
    QStringList hole = questionnaire(1);
    hole << block(2, QStringLiteral("Trois"), {QStringLiteral("z")}, QStringLiteral("1"));
    hole << QStringLiteral("<BLOC-trou>");
    QTest::newRow("missing block shows nothing")
        << hole << 1 << false << QString() << QStringList(5, QString()) << QStringList();

    // A block without its closing tag ends where the next block begins, as on the sheet.
    QStringList unclosed = questionnaire(2);
    unclosed.removeAt(10);
    QTest::newRow("unclosed block stops at the next block")
        << unclosed << 0 << true << QStringLiteral("Titre 1") << five
        << QStringList{QStringLiteral("Texte 1"), QStringLiteral(" ")};

    // The last block left open: the document's last line is never shown as free text.
    QStringList openAtEnd = questionnaire(1);
    openAtEnd << block(1, QStringLiteral("Fin"), {QStringLiteral("b")}, QStringLiteral("1"),
                       {QStringLiteral("Texte 2"), QStringLiteral("Dernière ligne")});
    openAtEnd.removeLast();
    QTest::newRow("last block left open keeps the last line out")
        << openAtEnd << 1 << true << QStringLiteral("Fin")
        << QStringList{QStringLiteral("1) b"), QString(), QString(), QString(), QString()}
        << QStringList{QStringLiteral("Texte 2")};

    QStringList truncated{QcmFormat::openingTag(0), QStringLiteral("TITLE Court"), QcmFormat::closingTag(0)};
    truncated << questionnaire(2).mid(12);
    QTest::newRow("block cut short reads empty fields")
        << truncated << 0 << true << QStringLiteral("Court") << QStringList(5, QString()) << QStringList();
}

void TestRunSession::showing()
{
    QFETCH(QStringList, document);
    QFETCH(int, moves);
    QFETCH(bool, found);
    QFETCH(QString, title);
    QFETCH(QStringList, answerLines);
    QFETCH(QStringList, freeText);

    RunSession session = started(document);
    for (int i = 0; i < moves; ++i)
        session.Suivant(0);
    const RunQuestion shown = session.LitFiche();

    QCOMPARE(shown.number, moves + 1);
    QCOMPARE(shown.found, found);
    QCOMPARE(shown.title, title);
    QCOMPARE(QStringList(shown.answerLines.begin(), shown.answerLines.end()), answerLines);
    QCOMPARE(shown.freeText, freeText);
    const int filled = int(answerLines.size() - answerLines.count(QString()));
    QCOMPARE(shown.answerCount, filled);
    QCOMPARE(session.AnswerCount(), filled);
}

void TestRunSession::counting_data()
{
    QTest::addColumn<QStringList>("document");
    QTest::addColumn<int>("count");

    QTest::newRow("empty") << QStringList() << 0;
    QTest::newRow("three blocks") << questionnaire(3) << 3;
    QStringList lower = questionnaire(2);
    lower[0] = QStringLiteral("<bloc0000>");
    QTest::newRow("lower-case tag not counted") << lower << 1;
    QTest::newRow("beyond 500 questions") << questionnaire(700) << 700;
}

void TestRunSession::counting()
{
    QFETCH(QStringList, document);
    QFETCH(int, count);

    RunSession session = started(document);
    QCOMPARE(session.RunQuestionCount(), count);
    QCOMPARE(int(session.Answers().size()), count);
    QCOMPARE(session.RunCurrent(), 0);
    // The last question is reachable and answerable, whatever the size.
    session.Dernier(0);
    session.LitFiche();
    session.storeAnswer(4);
    QCOMPARE(session.RunCurrent(), std::max(count - 1, 0));
    if (count > 0)
        QCOMPARE(session.Answers().back(), 4);
}

void TestRunSession::navigation_data()
{
    QTest::addColumn<int>("questions");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("pastLast");
    QTest::addColumn<QList<int>>("answers");

    QTest::newRow("PgDn on the last question")
        << 3 << QStringList{QStringLiteral("next 1"), QStringLiteral("next 0"), QStringLiteral("next 2")} << 2 << 1
        << QList<int>{1, 0, 2};
    QTest::newRow("PgUp on the first question") << 3 << QStringList{QStringLiteral("prev 3")} << 0 << 0
                                                << QList<int>{3, 0, 0};
    QTest::newRow("0 keeps an earlier answer")
        << 3 << QStringList{QStringLiteral("next 3"), QStringLiteral("prev 0"), QStringLiteral("next 0")} << 1 << 0
        << QList<int>{3, 0, 0};
    QTest::newRow("last then first") << 4 << QStringList{QStringLiteral("last 2"), QStringLiteral("first 5")} << 0
                                     << 0 << QList<int>{2, 0, 0, 5};
    QTest::newRow("two questions, PgDn twice")
        << 2 << QStringList{QStringLiteral("next 0"), QStringLiteral("next 0")} << 1 << 1 << QList<int>{0, 0};
    QTest::newRow("empty questionnaire stays on question 1")
        << 0 << QStringList{QStringLiteral("last 3"), QStringLiteral("next 2"), QStringLiteral("prev 1")} << 0 << 1
        << QList<int>{};
}

void TestRunSession::navigation()
{
    QFETCH(int, questions);
    QFETCH(QStringList, steps);
    QFETCH(int, current);
    QFETCH(int, pastLast);
    QFETCH(QList<int>, answers);

    RunSession session = started(questionnaire(questions));
    QCOMPARE(play(session, steps), pastLast);
    QCOMPARE(session.RunCurrent(), current);
    QCOMPARE(QList<int>(session.Answers().begin(), session.Answers().end()), answers);
    // The question shown again offers its stored answer.
    QCOMPARE(session.LitFiche().answer, answers.value(current));
}

void TestRunSession::scoring_data()
{
    QTest::addColumn<QStringList>("document");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("box");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<Solutions>("solutions");
    QTest::addColumn<QList<bool>>("marks");
    QTest::addColumn<QStringList>("titles");

    const QStringList titles3{QStringLiteral("Titre 1"), QStringLiteral("Titre 2"), QStringLiteral("Titre 3")};
    QTest::newRow("right after the start") << questionnaire(3) << QStringList() << 0 << QList<int>{0, 0, 0}
                                           << Solutions{1, 2, 3} << QList<bool>{false, false, false} << titles3;
    QTest::newRow("answer in the box counted without moving")
        << questionnaire(3) << QStringList() << 1 << QList<int>{1, 0, 0} << Solutions{1, 2, 3}
        << QList<bool>{true, false, false} << titles3;
    QTest::newRow("skipped questions keep titles and solutions")
        << questionnaire(3) << QStringList{QStringLiteral("last 0")} << 3 << QList<int>{0, 0, 3}
        << Solutions{1, 2, 3} << QList<bool>{false, false, true} << titles3;
    QTest::newRow("wrong answers")
        << questionnaire(3) << QStringList{QStringLiteral("next 2"), QStringLiteral("next 2")} << 1
        << QList<int>{2, 2, 1} << Solutions{1, 2, 3} << QList<bool>{false, true, false} << titles3;

    // Right-answer lines that hold no usable number: no solution, never right.
    QStringList odd = block(0, QStringLiteral("Vide"), {QStringLiteral("a")}, QString());
    odd << block(1, QStringLiteral("Lettre"), {QStringLiteral("a")}, QStringLiteral("x"));
    odd << block(2, QStringLiteral("Zéro"), {QStringLiteral("a")}, QStringLiteral("0"));
    odd << block(3, QStringLiteral("Espaces"), {QStringLiteral("a"), QStringLiteral("b")}, QStringLiteral(" 2 "));
    QTest::newRow("unreadable right answers")
        << odd << QStringList{QStringLiteral("next 1"), QStringLiteral("next 1"), QStringLiteral("next 0")} << 2
        << QList<int>{1, 1, 0, 2} << Solutions{-1, -1, 0, 2} << QList<bool>{false, false, false, true}
        << QStringList{QStringLiteral("Vide"), QStringLiteral("Lettre"), QStringLiteral("Zéro"), QStringLiteral("Espaces")};

    QStringList hole = questionnaire(1);
    hole << block(2, QStringLiteral("Trois"), {QStringLiteral("z")}, QStringLiteral("1")) << QStringLiteral("<BLOC-trou>");
    QTest::newRow("missing block") << hole << QStringList{QStringLiteral("next 0")} << 0 << QList<int>{0, 0, 0}
                                   << Solutions{1, -1, 1} << QList<bool>{false, false, false}
                                   << QStringList{QStringLiteral("Titre 1"), QString(), QStringLiteral("Trois")};
}

void TestRunSession::scoring()
{
    QFETCH(QStringList, document);
    QFETCH(QStringList, steps);
    QFETCH(int, box);
    QFETCH(QList<int>, answers);
    QFETCH(Solutions, solutions);
    QFETCH(QList<bool>, marks);
    QFETCH(QStringList, titles);

    RunSession session = started(document);
    play(session, steps);
    const int current = session.RunCurrent();
    const RunResults results = session.score(box);

    QCOMPARE(answersOf(results), answers);
    QCOMPARE(solutionsOf(results), solutions);
    QCOMPARE(marksOf(results), marks);
    QStringList shownTitles;
    for (const RunResultRow &row : results.rows)
        shownTitles << row.title;
    QCOMPARE(shownTitles, titles);
    QCOMPARE(results.rightCount, int(marks.count(true)));
    QCOMPARE(session.RunCurrent(), current); // scoring does not move
}

void TestRunSession::changingRightAnswerToWrongLowersTotal()
{
    RunSession session = started(questionnaire(3));
    session.Suivant(1);
    session.LitFiche();
    const RunResults before = session.score(2);
    session.Premier(0);
    session.LitFiche();
    session.Suivant(0);
    session.LitFiche();
    const RunResults after = session.score(4);
    QCOMPARE(marksOf(before), (QList<bool>{true, true, false}));
    QCOMPARE(marksOf(after), (QList<bool>{true, false, false}));
    QCOMPARE(after.rightCount, before.rightCount - 1);
}

void TestRunSession::newRunForgetsPreviousRun()
{
    RunSession session = started(questionnaire(5));
    session.Dernier(3);
    session.score(5);

    session.Init(questionnaire(2));
    session.Compte();
    const RunQuestion first = session.Exec();
    QCOMPARE(first.answer, 0);
    const RunResults results = session.score(0);
    QCOMPARE(answersOf(results), (QList<int>{0, 0}));
    QCOMPARE(results.rightCount, 0);
}

void TestRunSession::typedAnswerFolding_data()
{
    QTest::addColumn<int>("typed");
    QTest::addColumn<int>("kept");

    QTest::newRow("2 then 4") << 24 << 2;
    QTest::newRow("10 stays") << 10 << 10;
    QTest::newRow("11") << 11 << 1;
    QTest::newRow("three digits") << 245 << 2;
    QTest::newRow("one digit") << 5 << 5;
    QTest::newRow("zero") << 0 << 0;
}

void TestRunSession::typedAnswerFolding()
{
    QFETCH(int, typed);
    QFETCH(int, kept);
    QCOMPARE(RunSession::foldTypedAnswer(typed), kept);
}

void TestRunSession::resultsGrid_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");

    // A 3-question run answered 1 (right), 0 and 2 (wrong).
    QTest::newRow("corner") << 0 << 0 << QString();
    QTest::newRow("header Question") << 1 << 0 << QStringLiteral("Question");
    QTest::newRow("header Réponse") << 2 << 0 << QStringLiteral("Réponse");
    QTest::newRow("header Solution") << 3 << 0 << QStringLiteral("Solution");
    QTest::newRow("row number") << 0 << 3 << QStringLiteral("3");
    QTest::newRow("title") << 1 << 2 << QStringLiteral("Titre 2");
    QTest::newRow("unanswered") << 2 << 2 << QStringLiteral("0");
    QTest::newRow("solution") << 3 << 3 << QStringLiteral("3");
    QTest::newRow("mark of a right answer") << 4 << 1 << QStringLiteral("*");
    QTest::newRow("no mark") << 4 << 3 << QString();
    QTest::newRow("empty row") << 1 << 4 << QString();
    QTest::newRow("empty row number") << 0 << 4 << QString();
    QTest::newRow("total caption") << 1 << 5 << QStringLiteral("Nombre de bonnes réponses");
    QTest::newRow("total") << 2 << 5 << QStringLiteral("1");
    QTest::newRow("beside the total") << 3 << 5 << QString();
    QTest::newRow("below the total") << 1 << 6 << QString();
}

void TestRunSession::resultsGrid()
{
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(QString, text);

    RunSession session = started(questionnaire(3));
    session.Dernier(1);
    session.LitFiche();
    ResultsTable table;
    table.setResults(session.score(2));
    QCOMPARE(table.rowCount(), 5);
    QCOMPARE(table.cellText(column, row), text);
    QVERIFY(!(table.flags(table.index(0, 0)) & Qt::ItemIsEditable));

    table.clear();
    QCOMPARE(table.rowCount(), 0);
    if (row > 0)
        QCOMPARE(table.cellText(column, row), QString());
}

QTEST_GUILESS_MAIN(TestRunSession)
#include "tst_runsession.moc"
